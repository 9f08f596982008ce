# Travex.so: the plug-in module, loaded by the host with dlopen. Only the exports are visible.
add_library(Travex MODULE
    plugin/TravexApp.cpp
    plugin/Exports.cpp
    params/InternalData.cpp
    params/PointValidation.cpp
    codegen/ProgramGenerator.cpp
)
set_target_properties(Travex PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${CMAKE_SOURCE_DIR}/plugin/Travex.map)
target_include_directories(Travex PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(Travex PRIVATE kinecore mfc)
target_link_options(Travex PRIVATE
    -Wl,--version-script=${CMAKE_SOURCE_DIR}/plugin/Travex.map -Wl,--no-undefined)

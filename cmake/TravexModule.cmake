# The module's code, compiled once: linked into Travex.so and into the tests that exercise the
# record, the generator and the editor directly.
add_library(travex_objects OBJECT
    plugin/Exports.cpp
    params/InternalData.cpp
    params/PointValidation.cpp
    codegen/ProgramGenerator.cpp
    editor/EditorDlg.cpp
    editor/PointTable.cpp
    editor/TrajectoryGraph.cpp
    editor/PointImport.cpp
    editor/NumberScan.cpp
)
set_target_properties(travex_objects PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
target_include_directories(travex_objects PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(travex_objects PUBLIC kinecore mfc clocalenumber)

if(WIN32)
    # Travex.dll: loaded by the host with LoadLibrary. Travex.def names the seven exports, which
    # keeps every other symbol out of the export table.
    add_library(Travex MODULE plugin/TravexApp.cpp plugin/Travex.def)
    set_target_properties(Travex PROPERTIES PREFIX "")
    target_link_libraries(Travex PRIVATE travex_objects)
else()
    # Travex.so: the plug-in module, loaded by the host with dlopen. Only the exports are visible.
    add_library(Travex MODULE plugin/TravexApp.cpp)
    set_target_properties(Travex PROPERTIES
        PREFIX ""
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${CMAKE_SOURCE_DIR}/plugin/Travex.map)
    target_link_libraries(Travex PRIVATE travex_objects)
    target_link_options(Travex PRIVATE -Wl,--version-script=${CMAKE_SOURCE_DIR}/plugin/Travex.map)
    # clang leaves its sanitizer runtime out of shared objects (the program brings it), so their
    # symbols are undefined there.
    if(NOT (CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND (TRAVEX_SANITIZE OR TRAVEX_FUZZ)))
        target_link_options(Travex PRIVATE -Wl,--no-undefined)
    endif()
endif()

# The module's resources: template 214, the bitmap, the version record and the manifest. The
# tests that read them compile the same script with the same files.
set(TRAVEX_MODULE_RESOURCE_FILES ${CMAKE_SOURCE_DIR}/editor/res/ModuleIcon.bmp
    ${CMAKE_SOURCE_DIR}/editor/res/Travex.manifest)
# On Windows they are the DLL's resource section, read through the system's resource functions.
set(travex_resource_section)
if(WIN32)
    set(travex_resource_section PE_SECTION)
endif()
travex_add_resources(Travex ${CMAKE_SOURCE_DIR}/editor/Travex.rc TravexResourceTable
    ${travex_resource_section} FILES ${TRAVEX_MODULE_RESOURCE_FILES})

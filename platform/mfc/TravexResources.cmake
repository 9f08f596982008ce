# travex_add_resources(<target> <rc-file> <function-name> [PE_SECTION] [FILES <file>...])
#
# Compiles the resource script <rc-file> with windres into a .res file at build time, embeds its
# bytes in <target> and defines `const CResourceTable& <function-name>()`, the table read from
# them on first use. PE_SECTION, in a Windows build of a DLL or program: the .res file becomes the
# target's resource section instead, and the table is read from it through Windows' resource
# functions, as the system itself finds a module's dialogs and version record. The script is compiled again when it, a header it includes, or one of FILES
# (the bitmaps and manifests that it names) changes.
find_program(TRAVEX_WINDRES NAMES x86_64-w64-mingw32-windres windres REQUIRED)
find_program(TRAVEX_RC_PREPROCESSOR NAMES cpp REQUIRED)
set(TRAVEX_MFC_INCLUDE_DIR ${CMAKE_CURRENT_LIST_DIR}/include CACHE INTERNAL
    "afxres.h and the other headers that resource scripts and generated tables use")
set(TRAVEX_EMBED_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/EmbedResources.cmake CACHE INTERNAL
    "writes the source that embeds a .res file")

function(travex_add_resources target rc_file function_name)
    cmake_parse_arguments(R "PE_SECTION" "" "FILES" ${ARGN})
    get_filename_component(script ${rc_file} ABSOLUTE)
    get_filename_component(script_dir ${script} DIRECTORY)
    set(base ${CMAKE_CURRENT_BINARY_DIR}/resources/${target}_${function_name})
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/resources)
    # Scripts are UTF-8 (code page 65001); file names in them are relative to the script.
    add_custom_command(
        OUTPUT ${base}.res
        COMMAND ${TRAVEX_WINDRES} -O res -c 65001
                --preprocessor=${TRAVEX_RC_PREPROCESSOR}
                --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED
                --preprocessor-arg=-MD --preprocessor-arg=-MF --preprocessor-arg=${base}.d
                --preprocessor-arg=-MT --preprocessor-arg=${base}.res
                -I ${script_dir} -I ${TRAVEX_MFC_INCLUDE_DIR} ${script} ${base}.res
        DEPENDS ${script} ${R_FILES}
        DEPFILE ${base}.d
        COMMENT "Compiling resource script ${rc_file}"
        VERBATIM)
    if(R_PE_SECTION AND WIN32)
        add_custom_command(
            OUTPUT ${base}.res.obj
            COMMAND ${CMAKE_RC_COMPILER} -J res -O coff -i ${base}.res -o ${base}.res.obj
            DEPENDS ${base}.res
            VERBATIM)
        add_custom_command(
            OUTPUT ${base}.cpp
            COMMAND ${CMAKE_COMMAND} -DOUTPUT=${base}.cpp -DFUNCTION=${function_name}
                    -DMODULE=${target} -DPE_SECTION=ON -P ${TRAVEX_EMBED_RESOURCES}
            DEPENDS ${TRAVEX_EMBED_RESOURCES}
            VERBATIM)
        target_sources(${target} PRIVATE ${base}.cpp ${base}.res.obj)
    else()
        add_custom_command(
            OUTPUT ${base}.cpp
            COMMAND ${CMAKE_COMMAND} -DRES=${base}.res -DOUTPUT=${base}.cpp
                    -DFUNCTION=${function_name} -DMODULE=${target} -P ${TRAVEX_EMBED_RESOURCES}
            DEPENDS ${base}.res ${TRAVEX_EMBED_RESOURCES}
            VERBATIM)
        target_sources(${target} PRIVATE ${base}.cpp)
    endif()
    target_link_libraries(${target} PRIVATE mfc)
endfunction()

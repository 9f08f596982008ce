# travex_add_resources(<target> <rc-file> <function-name>)
#
# Compiles the resource script <rc-file> with travex-rc at build time and adds the generated
# source to <target>. The source defines `const CResourceTable& <function-name>()`, which builds
# the table, named after <target>, on first use. The script is compiled again whenever it, a file
# it includes, a bitmap or manifest it names, or the compiler changes.
set(TRAVEX_MFC_INCLUDE_DIR ${CMAKE_CURRENT_LIST_DIR}/include CACHE INTERNAL
    "afxres.h and the other headers that resource scripts and generated tables use")

function(travex_add_resources target rc_file function_name)
    get_filename_component(script ${rc_file} ABSOLUTE)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/resources/${target}_${function_name}.cpp)
    add_custom_command(
        OUTPUT ${output}
        COMMAND travex-rc -I ${TRAVEX_MFC_INCLUDE_DIR} --function ${function_name}
                --module ${target} --depfile ${output}.d -o ${output} ${script}
        DEPENDS travex-rc ${script}
        DEPFILE ${output}.d
        COMMENT "Compiling resource script ${rc_file}"
        VERBATIM)
    target_sources(${target} PRIVATE ${output})
    target_link_libraries(${target} PRIVATE mfc)
endfunction()

# cmake -DOBJDUMP=<objdump> -DMODULE=<Travex.dll> -P CheckExports.cmake
#
# The DLL's export table holds exactly the seven functions of the host's table, by their plain
# names: no decoration (_GetName, GetName@0), no C++ names, nothing of the libraries inside.
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} cannot read ${MODULE}")
endif()
# The name pointer table: lines "\t[   0] +base[   1]  0000 GetClassName".
string(REGEX MATCHALL "\\[ *[0-9]+\\] \\+base\\[ *[0-9]+\\] +[0-9a-f]+ [^\n]+" rows "${dump}")
set(names)
foreach(row ${rows})
    string(REGEX REPLACE ".* ([^ ]+)$" "\\1" name "${row}")
    list(APPEND names ${name})
endforeach()
list(SORT names)
set(expected EditMotionSequence GetClassName GetDefaultParameters GetName GetOrderID IsEnabled
    TranslateMotionSequence)
if(NOT names STREQUAL expected)
    message(FATAL_ERROR "exports of ${MODULE}: ${names}\nexpected: ${expected}")
endif()
string(REGEX MATCH "DLL Name: [^\n]*" dll "${dump}")
message(STATUS "${MODULE}: exactly the seven exports, undecorated")

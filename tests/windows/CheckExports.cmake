# cmake -DOBJDUMP=<objdump> -DMODULE=<Travex.dll> -P CheckExports.cmake
#
# The DLL's export table holds exactly the seven functions of the host's table, by their plain
# names: no decoration (_GetName, GetName@0), no C++ names, nothing of the libraries inside.
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} cannot read ${MODULE}")
endif()
# The name pointer table: "[Ordinal/Name Pointer] Table", then a line "\t[   0] GetClassName" a
# name, up to a blank line.
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${MODULE} has no export table")
endif()
string(SUBSTRING "${dump}" ${at} -1 table)
string(FIND "${table}" "\n\n" end)
string(SUBSTRING "${table}" 0 ${end} table)
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" rows "${table}")
set(names)
foreach(row ${rows})
    string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${row}")
    list(APPEND names "${name}")
endforeach()
list(SORT names)
set(expected EditMotionSequence GetClassName GetDefaultParameters GetName GetOrderID IsEnabled
    TranslateMotionSequence)
if(NOT names STREQUAL expected)
    message(FATAL_ERROR "exports of ${MODULE}: ${names}\nexpected: ${expected}")
endif()
message(STATUS "${MODULE}: exactly the seven exports, undecorated")


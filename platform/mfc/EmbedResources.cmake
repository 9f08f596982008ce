# cmake -DRES=<file.res> -DOUTPUT=<file.cpp> -DFUNCTION=<name> -DMODULE=<name> -P EmbedResources.cmake
#
# Writes a source that holds the bytes of a .res file and the function that reads them into the
# module's resource table. With -DPE_SECTION=ON (and no RES), the function reads the module's own
# resource section instead.
if(PE_SECTION)
    file(WRITE ${OUTPUT} "// Generated: do not edit.
#include <afxresmodule.h>
#include <afxrestable.h>

namespace {
// An address inside the module, by which Windows finds the module.
const char kInThisModule = 0;
}  // namespace

const CResourceTable& ${FUNCTION}() {
    static const CResourceTable table(\"${MODULE}\", AfxReadModuleResources(&kInThisModule));
    return table;
}
")
    return()
endif()
file(READ ${RES} hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
    message(FATAL_ERROR "${RES} is empty")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE ${OUTPUT} "// Generated from ${RES}: do not edit.
#include <afxrestable.h>

namespace {
alignas(4) const BYTE kResourceFile[] = {${bytes}};
}  // namespace

const CResourceTable& ${FUNCTION}() {
    static const CResourceTable table(\"${MODULE}\", kResourceFile);
    return table;
}
")

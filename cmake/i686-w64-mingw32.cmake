# Cross-building the module as the 32-bit Windows DLL it is, with Debian's mingw-w64:
#   cmake -S . -B build-windows --toolchain cmake/i686-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TRAVEX_MINGW_PREFIX i686-w64-mingw32)
# The posix thread model: std::thread and std::mutex exist in it.
set(CMAKE_C_COMPILER ${TRAVEX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRAVEX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TRAVEX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TRAVEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# i686's default x87 arithmetic rounds through 80-bit registers, so a figure can differ from the
# Linux build's in the last unit (a retime ends one IU late); SSE2 computes in doubles as x86-64
# does.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
# The C++ run-time goes into each program and DLL (the linker leaves it out of their exports).
# The unwinder stays one DLL for all (libgcc_s_dw2-1.dll, cmake/TravexWindows.cmake), since
# exceptions cross DLLs.
set(TRAVEX_MINGW_LINK_FLAGS "-static-libstdc++ -shared-libgcc")
set(CMAKE_EXE_LINKER_FLAGS_INIT ${TRAVEX_MINGW_LINK_FLAGS})
# The libraries export every symbol of their own, as the Linux build's do; the module exports
# only what Travex.def names (a MODULE, not a SHARED library).
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${TRAVEX_MINGW_LINK_FLAGS} -Wl,--export-all-symbols")
set(CMAKE_MODULE_LINKER_FLAGS_INIT ${TRAVEX_MINGW_LINK_FLAGS})

# The test programs run under Wine.
find_program(TRAVEX_WINE NAMES wine)
if(TRAVEX_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TRAVEX_WINE})
endif()

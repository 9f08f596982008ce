# The Windows build, cross-compiled with mingw-w64 (cmake/i686-w64-mingw32.cmake): Travex.dll on
# mfc.dll, kinecore.dll and trajectory.dll, the module loader check, and the test programs that
# need neither Qt nor POSIX processes. `make windows-check` builds it and runs it under Wine.

# The C99 printf of mingw-w64 rather than the Microsoft run-time's: %zu, %lld, and numbers
# printed as glibc prints them.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)

# The GCC run-time is linked into every DLL and program, all but its unwinder: with one copy of
# the unwinder in each DLL, an exception thrown in mfc.dll (CFileException) could not pass the
# module's frames. libgcc_s_dw2-1.dll (and the thread library it needs) lie beside the DLLs.
foreach(runtime libgcc_s_dw2-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
        OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT EXISTS "${runtime_path}")
        message(FATAL_ERROR "${runtime} of the compiler not found")
    endif()
    file(COPY ${runtime_path} DESTINATION ${CMAKE_BINARY_DIR})
endforeach()

# mfc.dll and kinecore.dll, as the host's libraries are named, not libmfc.dll.
set(CMAKE_SHARED_LIBRARY_PREFIX "")

add_subdirectory(trajectory)
add_subdirectory(platform/numbers)
add_subdirectory(platform/mfc)
# On Windows the dialogs can also run on the system's dialog manager (afxwin32dialogs.h).
target_sources(mfc PRIVATE ${CMAKE_SOURCE_DIR}/platform/mfc/src/afxresmodule.cpp
    ${CMAKE_SOURCE_DIR}/platform/mfc/src/afxwinresources.cpp
    ${CMAKE_SOURCE_DIR}/platform/mfc/src/afxwin32system.cpp
    ${CMAKE_SOURCE_DIR}/platform/mfc/src/afxwin32dialogs.cpp)
target_link_libraries(mfc PRIVATE user32 gdi32 comdlg32)
add_subdirectory(platform/kinecore)
include(cmake/TravexModule.cmake)

# CLI11 is headers only: Debian's, on the include path from a folder of their own.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/cli11)
file(CREATE_LINK /usr/include/CLI ${CMAKE_BINARY_DIR}/cli11/CLI SYMBOLIC)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 INTERFACE ${CMAKE_BINARY_DIR}/cli11)

# travex-host.exe: the host application's commands, without windows and drawings. A source X.cpp
# of the host with a sibling XWin32.cpp is replaced by it: the POSIX facilities (whole outputs,
# file identity, temporaries, loading a module) done in Windows' own way.
add_subdirectory(platform/hostapp)
function(travex_use_windows_sources target)
    get_target_property(sources ${target} SOURCES)
    get_target_property(folder ${target} SOURCE_DIR)
    set(chosen)
    foreach(source ${sources})
        string(REGEX REPLACE "\\.cpp$" "Win32.cpp" windows_source "${source}")
        if(NOT windows_source STREQUAL source AND EXISTS ${folder}/${windows_source})
            set(source ${windows_source})
        endif()
        list(APPEND chosen ${source})
    endforeach()
    set_target_properties(${target} PROPERTIES SOURCES "${chosen}")
endfunction()
foreach(target hostcore hostfiles hostcommands)
    travex_use_windows_sources(${target})
endforeach()
target_sources(hostcore PRIVATE ${CMAKE_SOURCE_DIR}/platform/hostapp/WindowsLibrary.cpp)

add_subdirectory(tests/windows)

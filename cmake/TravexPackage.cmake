# What `make package` puts into the Debian package, and how: travex-host in /usr/bin, the module
# and every shared library that the host loads in /usr/lib/travex, the manual page, the bash
# completion, and the examples and documentation in /usr/share/doc/travex.
set(TRAVEX_DOCDIR share/doc/travex)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)

# The manual page's date comes from the changelog's latest entry, which has to be of the
# module's version.
file(STRINGS ${packaging}/changelog changelog_lines)
list(GET changelog_lines 0 changelog_title)
if(NOT changelog_title MATCHES "^travex \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog: the latest entry is not version ${PROJECT_VERSION}")
endif()
list(FILTER changelog_lines INCLUDE REGEX "^ -- ")
list(GET changelog_lines 0 changelog_trailer)
string(REGEX REPLACE ".*, ([0-9]+ [A-Z][a-z]+ [0-9]+) .*" "\\1" release_date "${changelog_trailer}")

# The manual page, made from travex-host's help, and the changelog, both compressed as Debian
# keeps them (gzip -9n: no name or time stamp, so that a rebuild gives the same bytes). A
# version without a Debian revision makes a native package, whose changelog is changelog.gz.
set(manpage ${CMAKE_BINARY_DIR}/travex-host.1)
add_custom_command(OUTPUT ${manpage}
    COMMAND travex-manpage $<TARGET_FILE:travex-host> ${PROJECT_VERSION} ${release_date}
        ${packaging}/travex-host.1.tail ${manpage}
    DEPENDS travex-manpage travex-host ${packaging}/travex-host.1.tail
    COMMENT "Writing the manual page travex-host.1 from travex-host --help")
add_custom_command(OUTPUT ${manpage}.gz
    COMMAND gzip -9nkf ${manpage}
    DEPENDS ${manpage})
set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog)
add_custom_command(OUTPUT ${changelog}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${packaging}/changelog ${changelog}
    COMMAND gzip -9nf ${changelog}
    DEPENDS ${packaging}/changelog)
# Everything that the package takes from the build (make package builds only this).
add_custom_target(travex-package-files ALL DEPENDS ${manpage}.gz ${changelog}.gz)
# travex-host and the two libraries that it opens itself.
set(installed_targets travex-host Travex hostgraphics)
add_dependencies(travex-package-files ${installed_targets})

# The shared libraries of this tree that `targets` link, directly or through others.
function(travex_linked_shared_libraries out)
    set(queue ${ARGN})
    set(seen "")
    set(found "")
    while(queue)
        list(POP_FRONT queue target)
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" target "${target}")
        if(NOT TARGET ${target} OR target IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${target})
        get_target_property(imported ${target} IMPORTED)
        if(imported)
            continue()
        endif()
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "SHARED_LIBRARY")
            list(APPEND found ${target})
        endif()
        foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
            get_target_property(linked ${target} ${property})
            if(linked)
                list(APPEND queue ${linked})
            endif()
        endforeach()
    endwhile()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

# travex-host finds its libraries through a run path relative to itself, and they find each
# other beside themselves. Every shared library of the tree that the host or the two libraries
# that it opens itself link goes in, so that a new one is packaged without a word here.
travex_linked_shared_libraries(installed_libraries ${installed_targets})
set_target_properties(travex-host PROPERTIES INSTALL_RPATH "$ORIGIN/${TRAVEX_LIBDIR_FROM_BINDIR}")
set_target_properties(Travex hostgraphics ${installed_libraries} PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS ${installed_targets} ${installed_libraries}
    RUNTIME DESTINATION ${TRAVEX_INSTALL_BINDIR}
    LIBRARY DESTINATION ${TRAVEX_INSTALL_LIBDIR})
install(FILES ${manpage}.gz DESTINATION share/man/man1)
install(FILES ${packaging}/travex-host.bash-completion
    DESTINATION share/bash-completion/completions RENAME travex-host)
install(FILES ${packaging}/copyright ${changelog}.gz README.md DESTINATION ${TRAVEX_DOCDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs ${CMAKE_SOURCE_DIR}/examples
    DESTINATION ${TRAVEX_DOCDIR})

# Packing does not build: `make package` builds what goes in first, and the package's tests
# pack what `make test` has built.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME travex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Travex maintainers <maintainers@users.noreply.c-seed-433936e7.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PT motion type for servo drives, with a command-line host")
set(CPACK_PACKAGE_DESCRIPTION
    "Travex is a plug-in module for a motion-programming environment that\n\
configures servo drives. It adds the PT (position-time) motion type: a\n\
trajectory given as a table of points that the drive follows in its PT mode.\n\
.\n\
travex-host, a stand-in host application, loads the module from the command\n\
line: it translates motions into motion-language programs, edits them in the\n\
module's editor, imports tables of points, designs motions from motion laws\n\
(design), places a dense table on the drive's grid with the fewest points\n\
(fit), stretches a motion's times until it holds the drive's limits (retime),\n\
and shows and plots the trajectory preview. For example:\n\
.\n\
  travex-host design profile.txt -o motion.ptm\n\
  travex-host fit dense.ptm -o motion.ptm\n\
  travex-host retime motion.ptm -o slower.ptm --max-speed 15\n\
.\n\
The manual page, travex-host(1), has more examples and every option.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${TRAVEX_INSTALL_LIBDIR})
# Qt comes in through the window support's libraries; its fonts do not: windows and drawings
# use Liberation Sans, which has the widths of the Windows font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# The completion installed under share/bash-completion is loaded by bash-completion alone.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
set(CPACK_STRIP_FILES ON)
# A package's files belong to root, whoever builds it.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

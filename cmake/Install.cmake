# Install layout on POSIX systems. The program loads REDivizud.DLL (and, for a
# window, checkbook-gtk.so) from its own folder, so they live in lib/checkbook;
# bin/checkbook is a relative link to the program (the loader follows
# /proc/self/exe to the real folder).
install(TARGETS checkbook RUNTIME DESTINATION lib/checkbook)
if(TARGET checkbook-io)
  install(TARGETS checkbook-io RUNTIME DESTINATION lib/checkbook)
endif()
install(TARGETS REDivizud LIBRARY DESTINATION lib/checkbook)
# The desktop front end, loaded from the same folder only to show a window.
if(TARGET checkbook_gtk)
  install(TARGETS checkbook_gtk LIBRARY DESTINATION lib/checkbook)
endif()

set(link_dir ${CMAKE_CURRENT_BINARY_DIR}/install-link)
file(MAKE_DIRECTORY ${link_dir})
file(CREATE_LINK ../lib/checkbook/checkbook ${link_dir}/checkbook SYMBOLIC)
install(FILES ${link_dir}/checkbook DESTINATION bin)
if(TARGET checkbook-io)
  file(CREATE_LINK ../lib/checkbook/checkbook-io ${link_dir}/checkbook-io SYMBOLIC)
  install(FILES ${link_dir}/checkbook-io DESTINATION bin)
endif()

# The manual pages, compressed as Debian installs them.
foreach(page checkbook checkbook-io)
  set(man_page ${CMAKE_CURRENT_BINARY_DIR}/${page}.1.gz)
  add_custom_command(OUTPUT ${man_page}
    COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/docs/${page}.1 > ${man_page}
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/${page}.1 VERBATIM)
  add_custom_target(${page}_man_page ALL DEPENDS ${man_page})
  install(FILES ${man_page} DESTINATION share/man/man1)
endforeach()

# The desktop: the application menu's entry (it starts the window with the
# files in the documents folder), the icon at the usual sizes and the
# AppStream metainfo software centres list it by.
set(desktop ${CMAKE_SOURCE_DIR}/resources/desktop)
install(FILES ${desktop}/net.qarvo.checkbook.desktop DESTINATION share/applications)
install(FILES ${desktop}/net.qarvo.checkbook.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${desktop}/hicolor/${size}x${size}/apps/checkbook.png DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian's copyright file and the changelog, compressed as Debian keeps it.
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/resources/debian/changelog > ${changelog}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/debian/changelog VERBATIM)
add_custom_target(checkbook_changelog ALL DEPENDS ${changelog})
install(FILES ${changelog} ${CMAKE_SOURCE_DIR}/resources/debian/copyright DESTINATION share/doc/checkbook)

# The Debian package (scripts/package.sh). Its dependencies come from the
# shared-library scan of the installed binaries, not from a list kept here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME checkbook)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "single-user checkbook register for the desktop and the terminal")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "One window shows one bank account's transactions, the running balance and\n"
  "the balanced amount; transactions are added, edited, deleted and balanced\n"
  "against a bank statement. It shows a window on the desktop (from the\n"
  "application menu, keeping its data in Checkbook in the documents folder) or\n"
  "runs in a terminal, keeping its data in the folder it is started in, and it\n"
  "can be driven by a script on standard input. checkbook-io imports QIF, OFX\n"
  "and CSV statements into it and exports it as CSV or QIF.")
# A placeholder until someone publishes the package (README).
set(CPACK_PACKAGE_CONTACT "Checkbook maintainers <maintainers@checkbook.invalid>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# Install layout on POSIX systems. The program loads REDivizud.DLL from its
# own folder, so both live in lib/checkbook; bin/checkbook is a relative link
# to the program (the loader follows /proc/self/exe to the real folder).
install(TARGETS checkbook RUNTIME DESTINATION lib/checkbook)
if(TARGET checkbook-io)
  install(TARGETS checkbook-io RUNTIME DESTINATION lib/checkbook)
endif()
install(TARGETS REDivizud LIBRARY DESTINATION lib/checkbook)

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

# The Debian package (scripts/package.sh). Its dependencies come from the
# shared-library scan of the installed binaries, not from a list kept here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME checkbook)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "single-user checkbook register for the terminal")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "One window shows one bank account's transactions, the running balance and\n"
  "the balanced amount; transactions are added, edited, deleted and balanced\n"
  "against a bank statement. It keeps its data in the folder it is started in,\n"
  "and it can be driven by a script on standard input. checkbook-io imports\n"
  "QIF, OFX and CSV statements into it and exports it as CSV or QIF.")
set(CPACK_PACKAGE_CONTACT "Checkbook maintainers <checkbook@localhost>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# Installation and the Debian package (cpack -G DEB; scripts/package.sh builds it from a clean
# tree): the four programs (the report server with its service unit), their manual pages, the desktop entry with the program's icon,
# AppStream metadata, the configuration file, and an example timer for the weekly claims.
include(GNUInstallDirs)

install(TARGETS warasan warasan-report warasan-dbcheck warasan-web RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/warasan.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/th.ac.library.warasan.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/warasan.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/warasan.ini DESTINATION /etc/xdg/warasan
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ)
# Debian's changelog and copyright, the changelog compressed as policy asks.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
                   COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
                   DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog)
add_custom_target(changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/warasan-web.service ${CMAKE_CURRENT_LIST_DIR}/warasan-alerts.service
              ${CMAKE_CURRENT_LIST_DIR}/warasan-alerts.timer DESTINATION /lib/systemd/system)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/warasan-claims.service ${CMAKE_CURRENT_LIST_DIR}/warasan-claims.timer
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# The icon in the sizes icon themes look for, drawn by the same code as the windows' icon.
add_executable(warasan-icons ${CMAKE_CURRENT_LIST_DIR}/write_icons.cpp)
target_link_libraries(warasan-icons PRIVATE warasan_forms)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/icons/256x256/apps/warasan.png
                   COMMAND warasan-icons ${CMAKE_BINARY_DIR}/icons DEPENDS warasan-icons)
add_custom_target(icons ALL DEPENDS ${CMAKE_BINARY_DIR}/icons/256x256/apps/warasan.png)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# Manual pages from each program's --help and --version (help2man, when installed).
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(pages)
  set(name_warasan "the serials desk of the library")
  set(name_warasan-report "write the printed lists of Warasan as PDF and CSV, for scheduled runs")
  set(name_warasan-dbcheck "check the Warasan database and migrate an older one")
  set(name_warasan-web "the Warasan intranet report server")
  foreach(program warasan warasan-report warasan-dbcheck warasan-web)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
    add_custom_command(
      OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${HELP2MAN} --no-info --no-discard-stderr
              --section=1 "--name=${name_${program}}" --include=${CMAKE_CURRENT_LIST_DIR}/${program}.h2m
              --output=${CMAKE_BINARY_DIR}/man/${program}.1
              $<TARGET_FILE:${program}>
      COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/man/${program}.1
      DEPENDS ${program} ${CMAKE_CURRENT_LIST_DIR}/${program}.h2m
      VERBATIM)
    list(APPEND pages ${page})
  endforeach()
  add_custom_target(manpages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME warasan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Warasan developers <warasan@library.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serials desk of a university library")
set(CPACK_PACKAGE_DESCRIPTION "Keeps the register of journal and newspaper titles, checks in issues
(the next one predicted), indexes articles, binds volumes with call numbers,
renews subscriptions and prints the expiry list, the receipt check and the
survey report, on a shared MariaDB or MySQL database.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "odbc-mariadb, unixodbc, fonts-thai-tlwg, qt6-qpa-plugins, adduser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/postinst ${CMAKE_CURRENT_LIST_DIR}/prerm ${CMAKE_CURRENT_LIST_DIR}/postrm
    ${CMAKE_CURRENT_LIST_DIR}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

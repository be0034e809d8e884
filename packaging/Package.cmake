# Installing and packaging: the program, its sprite, its manual page, its licence as a Debian
# copyright file and its changelog. The maintainer is named here and nowhere else.
set(INKSTRIP_MAINTAINER "inkstrip developers <dev@inkstrip.example.org>")
string(TIMESTAMP INKSTRIP_DATE "%Y-%m-%d" UTC)

install(TARGETS inkstrip RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES assets/ball4.bmp DESTINATION ${CMAKE_INSTALL_DATADIR}/inkstrip)

# The Debian copyright file in the machine-readable format, its licence text taken from LICENSE.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "^MIT License\n\nCopyright \\(c\\) ([^\n]*)\n\n" "" licence_terms "${licence}")
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${licence}")
set(licence_holder "${CMAKE_MATCH_1}")
string(STRIP "${licence_terms}" licence_terms)
string(REGEX REPLACE "\n\n" "\n.\n" licence_terms "${licence_terms}")
string(REGEX REPLACE "\n" "\n " licence_terms "${licence_terms}")
file(WRITE ${PROJECT_BINARY_DIR}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: inkstrip
Upstream-Contact: ${INKSTRIP_MAINTAINER}

Files: *
Copyright: ${licence_holder}
License: Expat
 ${licence_terms}
")

# Manual page and changelog, gzipped as Debian wants them: -n keeps the build reproducible.
# The manual's options come from the program's own table, written in by build/manpage.
configure_file(docs/inkstrip.6.in ${PROJECT_BINARY_DIR}/inkstrip.6.template @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/inkstrip.6
  COMMAND manpage ${PROJECT_BINARY_DIR}/inkstrip.6.template ${PROJECT_BINARY_DIR}/inkstrip.6
  DEPENDS manpage ${PROJECT_BINARY_DIR}/inkstrip.6.template VERBATIM)
configure_file(packaging/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
foreach(doc inkstrip.6 changelog)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${doc}.gz
    COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/${doc} > ${PROJECT_BINARY_DIR}/${doc}.gz
    DEPENDS ${PROJECT_BINARY_DIR}/${doc} VERBATIM)
endforeach()
add_custom_target(docs ALL DEPENDS ${PROJECT_BINARY_DIR}/inkstrip.6.gz ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/inkstrip.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_BINARY_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

# For the desktop: an application entry that fills the screen, what software centres show, and
# icons drawn by build/inkicon from the program's own writing.
install(FILES packaging/inkstrip.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/org.example.inkstrip.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
set(icons "")
foreach(size 64 128 256)
  set(icon ${PROJECT_BINARY_DIR}/icons/${size}x${size}/inkstrip.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
    COMMAND inkicon ${PROJECT_SOURCE_DIR}/assets/ball4.bmp ${size} ${icon}
    DEPENDS inkicon ${PROJECT_SOURCE_DIR}/assets/ball4.bmp VERBATIM)
  list(APPEND icons ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(icons ALL DEPENDS ${icons})

# As a screensaver: the program under XScreenSaver's own name for it, a link to bin/inkstrip
# (the program finds its sprite from where the link leads); its settings for XScreenSaver's
# dialog; and the entry other screensaver frameworks read, which names the link by its full
# installed path, known only when installing.
set(hackdir ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
file(RELATIVE_PATH hack_to_bin ${CMAKE_INSTALL_FULL_LIBEXECDIR}/xscreensaver
  ${CMAKE_INSTALL_FULL_BINDIR}/inkstrip)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/hack)
file(CREATE_LINK ${hack_to_bin} ${PROJECT_BINARY_DIR}/hack/inkstrip SYMBOLIC)
install(FILES ${PROJECT_BINARY_DIR}/hack/inkstrip DESTINATION ${hackdir})
install(FILES packaging/inkstrip.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(CODE "
  file(READ \"${PROJECT_SOURCE_DIR}/packaging/screensaver.desktop.in\" entry)
  string(REPLACE @HACKDIR@ \"\${CMAKE_INSTALL_PREFIX}/${hackdir}\" entry \"\${entry}\")
  file(WRITE \"${PROJECT_BINARY_DIR}/hack/inkstrip.desktop\" \"\${entry}\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/screensavers\"
    TYPE FILE FILES \"${PROJECT_BINARY_DIR}/hack/inkstrip.desktop\")
")

# cpack -G DEB: Depends are worked out from the libraries the program links.
set(CPACK_PACKAGE_NAME inkstrip)
set(CPACK_PACKAGE_CONTACT "${INKSTRIP_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "inkstrip writes Hello and world, or any words it is given, in joined-up
handwriting: a ball is stamped again and again along a chain of cubic
Bezier curves while the whole screen scrolls left, like ink on a moving
paper strip. A mouse press saves the screen as BMP or PNG, and a pass can
be recorded as an animated GIF or a VP9 video in WebM without any display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# --text reads its handwriting from Debian's own copy of the Hershey fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS hershey-fonts-data)
set(CPACK_STRIP_FILES ON)
include(CPack)

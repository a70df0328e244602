# Installed files and the Debian package (cpack -G DEB).
# The desktop entry, the AppStream metainfo, the man page, the Debian changelog
# and copyright file are made from templates with the names, texts, version and
# release date set here and the facts set in CMakeLists.txt, so each is written once.

include(GNUInstallDirs)

set(QUORREL_NAME "Quorrel - setup")
set(QUORREL_APPSTREAM_ID example.zelviksoft.quorrel_setup)
set(QUORREL_CONTACT "${QUORREL_MAKER} <${QUORREL_CONTACT_EMAIL}>")
set(QUORREL_COPYRIGHT "${QUORREL_YEAR} ${QUORREL_MAKER}")
# Release date of PROJECT_VERSION, for the changelog, the metainfo and the man page.
set(QUORREL_RELEASE_DATE 2026-12-06)
set(QUORREL_GENERIC_NAME "Quorrel Game Settings")
set(QUORREL_GENERIC_NAME_CS "Nastavení hry Quorrel")
set(QUORREL_SUMMARY "Edit the settings of the game Quorrel and save them to autoexec.cfg")
set(QUORREL_SUMMARY_CS "Upraví nastavení hry Quorrel a uloží je do autoexec.cfg")
# The package's extended description and the metainfo's first paragraph.
set(QUORREL_DESCRIPTION
"Quorrel - setup edits the settings of the first-person game Quorrel: the
player's name and team, mouse speed, zoom and inversion, music and sound
volume, frame-rate range, gamma and the movement keys. It shows the console
script these settings make and saves it as autoexec.cfg in the game's folder,
where the game runs it at start. Czech and English interface.")

# The licence text comes from LICENSE; the copyright file takes it in its own
# format: each line indented, blank lines as " .".
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" license)
string(REGEX REPLACE "^.*\n(Permission is hereby)" "\\1" license "${license}")
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " QUORREL_LICENSE_TEXT " ${license}")

# Debian changelog date (RFC 2822): the weekday by Sakamoto's method.
if(NOT QUORREL_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
  message(FATAL_ERROR "QUORREL_RELEASE_DATE is not YYYY-MM-DD: ${QUORREL_RELEASE_DATE}")
endif()
set(dd ${CMAKE_MATCH_3})
math(EXPR year "${CMAKE_MATCH_1}")
math(EXPR m "${CMAKE_MATCH_2} - 1")
math(EXPR day "${CMAKE_MATCH_3}")
set(days Sun Mon Tue Wed Thu Fri Sat)
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
list(GET offsets ${m} offset)
list(GET months ${m} mon)
set(y ${year})
if(m LESS 2)
  math(EXPR y "${year} - 1")
endif()
math(EXPR wd "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
list(GET days ${wd} wday)
set(QUORREL_RELEASE_DATE_RFC2822 "${wday}, ${dd} ${mon} ${year} 12:00:00 +0000")

set(gen "${PROJECT_BINARY_DIR}/packaging")
configure_file(assets/quorrel-setup.desktop.in "${gen}/${QUORREL_DESKTOP_ID}.desktop" @ONLY)
configure_file(packaging/metainfo.xml.in "${gen}/${QUORREL_APPSTREAM_ID}.metainfo.xml" @ONLY)
configure_file(packaging/copyright.in "${gen}/copyright" @ONLY)
configure_file(packaging/changelog.in "${gen}/changelog" @ONLY)
configure_file(packaging/quorrel-setup.1.in "${gen}/${PROJECT_NAME}.1" @ONLY)

# Debian wants both compressed with gzip -9n (no name, no time stamp).
find_program(GZIP gzip REQUIRED)
set(compressed)
foreach(file changelog ${PROJECT_NAME}.1)
  add_custom_command(OUTPUT "${gen}/${file}.gz"
    COMMAND "${GZIP}" -9nkf "${gen}/${file}"
    DEPENDS "${gen}/${file}" VERBATIM)
  list(APPEND compressed "${gen}/${file}.gz")
endforeach()
add_custom_target(packaging-files ALL DEPENDS ${compressed})

# CPack's staging tree follows the umask otherwise; Debian wants 0755 folders.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS quorrel-setup RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(size 16 32 48 64 128 256)
  install(FILES assets/icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${QUORREL_DESKTOP_ID}.png)
endforeach()
install(FILES assets/icon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${QUORREL_DESKTOP_ID}.svg)
install(FILES "${gen}/${QUORREL_DESKTOP_ID}.desktop" DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${gen}/${QUORREL_APPSTREAM_ID}.metainfo.xml" DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES "${gen}/${PROJECT_NAME}.1.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES "${gen}/copyright" "${gen}/changelog.gz" DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR ${QUORREL_MAKER})
set(CPACK_PACKAGE_CONTACT ${QUORREL_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_DESCRIPTION ${QUORREL_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows' captions are laid out for these faces.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/CPackProject.cmake")
set(CPACK_QUORREL_SOURCE_DIR "${PROJECT_SOURCE_DIR}")
execute_process(COMMAND date -u -d "${QUORREL_RELEASE_DATE} 12:00" +%s
                OUTPUT_VARIABLE CPACK_QUORREL_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
include(CPack)

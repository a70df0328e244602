# The Windows program file's icon, version information and manifest, and the
# windows-package target, which makes the portable zip and the NSIS installer
# (scripts/windows-package) from the facts set in CMakeLists.txt and
# cmake/Packaging.cmake.

enable_language(RC)
set(win "${PROJECT_BINARY_DIR}/packaging/windows")

# One .ico of the sizes the Linux package installs, made by icotool (icoutils):
# bitmaps up to 128 pixels, the 256-pixel one kept as PNG, as Windows reads it.
find_program(QUORREL_ICOTOOL icotool)
if(NOT QUORREL_ICOTOOL)
  message(FATAL_ERROR "The Windows icon needs icotool; install it (as root): apt-get install icoutils")
endif()
set(QUORREL_WIN_ICO "${win}/${PROJECT_NAME}.ico")
set(icons)
set(icon_args)
foreach(size 16 32 48 64 128 256)
  list(APPEND icons "${PROJECT_SOURCE_DIR}/assets/icon-${size}.png")
  if(size EQUAL 256)
    list(APPEND icon_args "--raw=${PROJECT_SOURCE_DIR}/assets/icon-${size}.png")
  else()
    list(APPEND icon_args "${PROJECT_SOURCE_DIR}/assets/icon-${size}.png")
  endif()
endforeach()
add_custom_command(OUTPUT "${QUORREL_WIN_ICO}"
  COMMAND "${QUORREL_ICOTOOL}" -c -o "${QUORREL_WIN_ICO}" ${icon_args}
  DEPENDS ${icons} VERBATIM)

# Four numbers for the version resource and the manifest: 1.0 is 1.0.0.0.
set(QUORREL_WIN_VERSION)
foreach(part MAJOR MINOR PATCH TWEAK)
  if(PROJECT_VERSION_${part} STREQUAL "")
    list(APPEND QUORREL_WIN_VERSION 0)
  else()
    list(APPEND QUORREL_WIN_VERSION ${PROJECT_VERSION_${part}})
  endif()
endforeach()
list(JOIN QUORREL_WIN_VERSION "," QUORREL_WIN_VERSION_COMMAS)
list(JOIN QUORREL_WIN_VERSION "." QUORREL_WIN_VERSION_DOTS)
set(QUORREL_WIN_COPYRIGHT "Copyright (c) ${QUORREL_COPYRIGHT}")

set(QUORREL_WIN_MANIFEST "${win}/${PROJECT_NAME}.manifest")
configure_file(packaging/windows/quorrel-setup.manifest.in "${QUORREL_WIN_MANIFEST}" @ONLY)
configure_file(packaging/windows/quorrel-setup.rc.in "${win}/${PROJECT_NAME}.rc" @ONLY)
set_source_files_properties("${win}/${PROJECT_NAME}.rc" PROPERTIES
  OBJECT_DEPENDS "${QUORREL_WIN_ICO};${QUORREL_WIN_MANIFEST}")
target_sources(quorrel-setup PRIVATE "${win}/${PROJECT_NAME}.rc")

# The installer script and the two READMEs, with the facts filled in.
set(QUORREL_WIN_ZIP "${PROJECT_NAME}-${PROJECT_VERSION}-windows-x64.zip")
set(QUORREL_WIN_SETUP "${PROJECT_NAME}-${PROJECT_VERSION}-windows-x64-setup.exe")
configure_file(packaging/windows/installer.nsi.in "${win}/installer.nsi" @ONLY)
configure_file(packaging/windows/README.txt.in "${win}/README.txt" @ONLY)
configure_file(packaging/windows/CTIMNE.txt.in "${win}/CTIMNE.txt" @ONLY)

# What scripts/windows-package needs to know, as shell assignments.
find_program(QUORREL_MAKENSIS makensis)
execute_process(COMMAND dpkg-query -W -f=\${Version} qt6-base-dev
                OUTPUT_VARIABLE QUORREL_QT_DEBIAN_VERSION ERROR_QUIET)
file(CONFIGURE OUTPUT "${win}/package.env" @ONLY CONTENT
[[name='@PROJECT_NAME@'
version='@PROJECT_VERSION@'
version4='@QUORREL_WIN_VERSION_DOTS@'
product='@QUORREL_NAME@'
maker='@QUORREL_MAKER@'
copyright='@QUORREL_WIN_COPYRIGHT@'
description='@PROJECT_DESCRIPTION@'
desktop_id='@QUORREL_DESKTOP_ID@'
source='@PROJECT_SOURCE_DIR@'
release_epoch='@CPACK_QUORREL_RELEASE_EPOCH@'
zip='@QUORREL_WIN_ZIP@'
setup='@QUORREL_WIN_SETUP@'
qt='@QT6_INSTALL_PREFIX@'
qt_version='@Qt6_VERSION@'
qt_debian_version='@QUORREL_QT_DEBIAN_VERSION@'
cxx='@CMAKE_CXX_COMPILER@'
objdump='@CMAKE_OBJDUMP@'
strip='@CMAKE_STRIP@'
makensis='@QUORREL_MAKENSIS@'
]])
add_custom_target(windows-package
  COMMAND "${PROJECT_SOURCE_DIR}/scripts/windows-package" "${PROJECT_BINARY_DIR}"
  DEPENDS quorrel-setup VERBATIM)

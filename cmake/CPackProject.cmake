# Read by cpack before it makes a package (CPACK_PROJECT_CONFIG_FILE).

# The Debian package's dependencies come from dpkg-shlibdeps (dpkg-dev), which
# CPack needs `file` to call; without them it would make a package that
# installs without Qt and cannot start.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(QUORREL_SHLIBDEPS dpkg-shlibdeps)
  find_program(QUORREL_FILE file)
  if(NOT QUORREL_SHLIBDEPS OR NOT QUORREL_FILE)
    message(FATAL_ERROR "The Debian package needs dpkg-shlibdeps and file; install them "
                        "(as root): apt-get install dpkg-dev file")
  endif()
endif()

# Two packages of one commit are the same, byte for byte: every time in them is
# that of the commit, unless SOURCE_DATE_EPOCH says otherwise.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CPACK_QUORREL_SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
                  RESULT_VARIABLE failed)
  if(failed OR epoch STREQUAL "")
    # Not a git checkout: noon of the release date.
    set(epoch "${CPACK_QUORREL_RELEASE_EPOCH}")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()

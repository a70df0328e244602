# Compiler and linker flags, which quorrel_add() gives each target it defines:
# warnings (errors with QUORREL_WERROR), Debian's hardening flags, the build
# folders mapped out of the binaries, and the sanitizers.

option(QUORREL_WERROR "Treat compiler warnings as errors" OFF)
option(QUORREL_SANITIZE "Build with AddressSanitizer, LeakSanitizer and UBSan" OFF)

include(CheckPIESupported)
check_pie_supported()

# Debian's build flags with every hardening feature, from dpkg-buildflags where it
# is installed (without its -g and -O, which the build type sets), else the same
# flags as Debian 12 gives them.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(DPKG_BUILDFLAGS)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            "${DPKG_BUILDFLAGS}" --get ${kind}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g|O.*|ffile-prefix-map=.*)$")
    set(quorrel_${kind} ${flags})
  endforeach()
else()
  set(quorrel_CPPFLAGS -Wdate-time -D_FORTIFY_SOURCE=2)
  set(quorrel_CXXFLAGS -fstack-protector-strong -Wformat -Werror=format-security)
  set(quorrel_LDFLAGS -Wl,-z,relro -Wl,-z,now)
endif()
if(MINGW)
  # Windows programs have no RELRO or immediate binding (the linker refuses
  # "-z"), and MinGW-w64's stack protector and _FORTIFY_SOURCE live in libssp,
  # which the compiler links when it sees the stack protector at link time.
  list(FILTER quorrel_LDFLAGS EXCLUDE REGEX "^-Wl,-z,")
  set(ssp ${quorrel_CXXFLAGS})
  list(FILTER ssp INCLUDE REGEX "^-fstack-protector")
  list(APPEND quorrel_LDFLAGS ${ssp})
endif()
# _FORTIFY_SOURCE needs optimisation (glibc warns without it) and is left to
# AddressSanitizer in a sanitizer build.
set(quorrel_FORTIFY ${quorrel_CPPFLAGS})
list(FILTER quorrel_FORTIFY INCLUDE REGEX "^-D_FORTIFY_SOURCE")
list(FILTER quorrel_CPPFLAGS EXCLUDE REGEX "^-D_FORTIFY_SOURCE")
if(QUORREL_SANITIZE)
  set(quorrel_FORTIFY)
endif()

# For the program's code, which keeps Latin-1 and UTF-8 conversions explicit.
set(quorrel_EXPLICIT_CASTS QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING)

# quorrel_add(NAME EXECUTABLE|STATIC [EXCLUDE_FROM_ALL] SOURCE...): defines the
# executable or library NAME with the project's flags.
function(quorrel_add name type)
  if(type STREQUAL "EXECUTABLE")
    add_executable(${name} ${ARGN})
  else()
    add_library(${name} ${type} ${ARGN})
  endif()
  target_compile_options(${name} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    ${quorrel_CPPFLAGS} ${quorrel_CXXFLAGS}
    $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:${quorrel_FORTIFY}>
    # No folder of the build in the binaries: two builds of one commit are the
    # same. The last map that fits wins, and the build folder may be inside
    # the source folder.
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
  target_link_options(${name} PRIVATE ${quorrel_LDFLAGS})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON
                                           COMPILE_WARNING_AS_ERROR ${QUORREL_WERROR})
  if(QUORREL_SANITIZE)
    target_compile_options(${name} PRIVATE -fsanitize=address,undefined
                           -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(${name} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

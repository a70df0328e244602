# The hardening that Debian's build flags give (dpkg-buildflags, hardening=+all):
# stack protector, format checks, fortified libc calls, PIE, full RELRO with
# immediate binding. Applies to every target defined after this file.

include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# _FORTIFY_SOURCE needs optimisation (glibc warns without it) and is left to
# AddressSanitizer in a sanitizer build.
if(NOT QUORREL_SANITIZE)
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)

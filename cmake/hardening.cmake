# The hardening Debian gives the programs of its packages: position-independent executables,
# stack protection, read-only relocations bound at start-up, and, where the compiler optimises,
# the checked versions of the C library's string and memory functions. The sanitizer and fuzz
# builds check those calls themselves and leave the C library's checks out.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong)
add_link_options(LINKER:-z,relro LINKER:-z,now)
if(NOT CCP_SANITIZE AND NOT CCP_FUZZ)
  add_compile_options(
    "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
endif()

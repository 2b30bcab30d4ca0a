# libmspack for the fuzz build, built from Debian's source package with the fuzzer's own
# sanitizer and coverage flags, so that a fault inside the library shows up as a finding
# rather than going unseen in the system's uninstrumented copy.
#
# The source comes from `apt-get source` under an apt configuration of its own in the build
# folder (a source list, package lists and cache there), so that the machine's apt set-up is
# never touched. Defines the imported target morvane_libmspack.
include(ExternalProject)

find_program(MORVANE_APT_GET apt-get REQUIRED)
find_program(MORVANE_DPKG_SOURCE dpkg-source REQUIRED)
find_program(MORVANE_FUZZ_CC NAMES clang clang-14 REQUIRED)

set(_mspack ${CMAKE_BINARY_DIR}/libmspack)
set(_mspack_install ${_mspack}/install)
set(_mspack_library ${_mspack_install}/lib/libmspack.a)
# One exception: the LZX decoder builds a 32-bit value with a left shift of a signed int
# ("(i << 16) | j" in lzxd.c), which C leaves undefined when the top bit is set but GCC, which
# builds Debian's library, defines as the two's-complement result. Reporting it would stop
# every run at the first such stream and hide real faults behind it.
string(JOIN " " _mspack_cflags ${CMAKE_CXX_FLAGS} -fno-sanitize=shift-base -g -O1)

ExternalProject_Add(libmspack_instrumented
    PREFIX ${_mspack}
    DOWNLOAD_COMMAND ${CMAKE_COMMAND} -DWORK=${_mspack}/apt -DSOURCE=<SOURCE_DIR>
        -DAPT_GET=${MORVANE_APT_GET} -P ${CMAKE_CURRENT_LIST_DIR}/fetch-libmspack.cmake
    CONFIGURE_COMMAND <SOURCE_DIR>/configure --quiet --disable-shared --enable-static
        CC=${MORVANE_FUZZ_CC} CFLAGS=${_mspack_cflags}
    # make does not notice changed flags; the build step runs only after configuring anyway.
    BUILD_COMMAND make -s clean
    COMMAND make -s libmspack.la
    INSTALL_COMMAND ${CMAKE_COMMAND} -E make_directory ${_mspack_install}/lib
    COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/.libs/libmspack.a ${_mspack_library}
    COMMAND ${CMAKE_COMMAND} -E copy <SOURCE_DIR>/mspack/mspack.h ${_mspack_install}/include/
    BUILD_BYPRODUCTS ${_mspack_library}
    LOG_DOWNLOAD ON
    LOG_CONFIGURE ON
    LOG_BUILD ON
    USES_TERMINAL_DOWNLOAD OFF
)
file(MAKE_DIRECTORY ${_mspack_install}/include)

add_library(morvane_libmspack STATIC IMPORTED GLOBAL)
set_target_properties(morvane_libmspack PROPERTIES
    IMPORTED_LOCATION ${_mspack_library}
    INTERFACE_INCLUDE_DIRECTORIES ${_mspack_install}/include)
add_dependencies(morvane_libmspack libmspack_instrumented)

# cmake -DWORK=dir -DSOURCE=dir -DAPT_GET=path -P fetch-libmspack.cmake
# Fetches Debian 12's libmspack source package into SOURCE with apt-get source, using an apt
# configuration kept entirely under WORK: the machine's own source lists, package lists and
# cache are neither read for sources nor written.
set(_lists ${WORK}/lists)
set(_cache ${WORK}/cache)
set(_parts ${WORK}/sources.list.d)
file(MAKE_DIRECTORY ${_lists}/partial ${_cache}/archives/partial ${_parts} ${WORK}/unpack)
set(_keyring /usr/share/keyrings/debian-archive-keyring.gpg)
file(WRITE ${WORK}/sources.list
    "deb-src [signed-by=${_keyring}] http://deb.debian.org/debian bookworm main\n")
set(_options
    -o Dir::Etc::SourceList=${WORK}/sources.list
    -o Dir::Etc::SourceParts=${_parts}
    -o Dir::State::Lists=${_lists}
    -o Dir::Cache=${_cache}
    -o APT::Sandbox::User=root)

execute_process(COMMAND ${APT_GET} ${_options} -q update RESULT_VARIABLE _status)
if(NOT _status EQUAL 0)
    message(FATAL_ERROR "apt-get update for the libmspack source failed (${_status})")
endif()
file(REMOVE_RECURSE ${WORK}/unpack)
file(MAKE_DIRECTORY ${WORK}/unpack)
execute_process(COMMAND ${APT_GET} ${_options} -q source libmspack
    WORKING_DIRECTORY ${WORK}/unpack RESULT_VARIABLE _status)
if(NOT _status EQUAL 0)
    message(FATAL_ERROR "apt-get source libmspack failed (${_status})")
endif()
file(GLOB _unpacked LIST_DIRECTORIES true ${WORK}/unpack/libmspack-*)
list(FILTER _unpacked EXCLUDE REGEX "\\.(tar\\..*|dsc)$")
list(LENGTH _unpacked _count)
if(NOT _count EQUAL 1)
    message(FATAL_ERROR "expected one unpacked libmspack source folder, found: ${_unpacked}")
endif()
file(REMOVE_RECURSE ${SOURCE})
file(RENAME ${_unpacked} ${SOURCE})

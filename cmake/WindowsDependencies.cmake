# What the Windows build links, found without the Linux system's packages: SQLite from the
# amalgamation in third_party/, and the two header-only libraries from the build machine's
# Debian packages (nlohmann-json3-dev, libxxhash-dev), given to the cross compiler alone,
# without the rest of /usr/include, whose headers are the Linux system's.
set(VBGEN_HOST_INCLUDE_DIR /usr/include CACHE PATH "Where the build machine's nlohmann/ and xxhash.h are")
add_subdirectory(${CMAKE_SOURCE_DIR}/third_party/sqlite ${CMAKE_BINARY_DIR}/third_party/sqlite)

set(vbgen_header_dir ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${vbgen_header_dir})
foreach(header nlohmann xxhash.h)
  if(NOT EXISTS ${VBGEN_HOST_INCLUDE_DIR}/${header})
    message(FATAL_ERROR "${VBGEN_HOST_INCLUDE_DIR}/${header} is missing: install nlohmann-json3-dev and libxxhash-dev")
  endif()
  file(CREATE_LINK ${VBGEN_HOST_INCLUDE_DIR}/${header} ${vbgen_header_dir}/${header} SYMBOLIC)
endforeach()

add_library(nlohmann_json INTERFACE)
target_include_directories(nlohmann_json SYSTEM INTERFACE ${vbgen_header_dir})
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)

# xxHash compiled into the files that use it: there is no Windows library of it to link.
add_library(vbgen_xxhash INTERFACE)
target_include_directories(vbgen_xxhash SYSTEM INTERFACE ${vbgen_header_dir})
target_compile_definitions(vbgen_xxhash INTERFACE XXH_INLINE_ALL)
add_library(PkgConfig::xxhash ALIAS vbgen_xxhash)

# Linked statically (the C++ runtime, libgcc and winpthread among them), so that
# vbgen-cli.exe runs from the unpacked zip alone: no MinGW DLL needs to lie beside it or on
# the PATH, and none of another program's can be picked up instead. -s leaves out the symbols.
string(APPEND CMAKE_EXE_LINKER_FLAGS " -static -s")

# GCC 12 reports a -Wrestrict overlap inside std::string that cannot happen (GCC bug 105329);
# the Linux build's compiler does not, and keeps the warning.
target_compile_options(vbgen_warnings INTERFACE -Wno-restrict)

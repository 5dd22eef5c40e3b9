# Writes the header that names the build: a digest of the compiler and of every source of the
# model store, the script reader and the generators. Run at build time whenever one of them
# changes; the header is rewritten only when the digest differs, so nothing else is rebuilt.
#   cmake -DSOURCE_DIR=... -DOUT=... -DCOMPILER=... -P build-id.cmake
file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/model/*" "${SOURCE_DIR}/sqlimport/*" "${SOURCE_DIR}/generate/*")
list(SORT sources)
set(listing "${COMPILER}\n")
foreach(source IN LISTS sources)
  file(SHA256 "${SOURCE_DIR}/${source}" digest)
  string(APPEND listing "${digest} ${source}\n")
endforeach()
string(SHA256 id "${listing}")
string(SUBSTRING "${id}" 0 32 id)
set(text "// Made by tools/build-id.cmake; do not edit.\n#pragma once\ninline constexpr const char* kVbgenBuildId = \"${id}\";\n")
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
  if(old STREQUAL text)
    return()
  endif()
endif()
file(WRITE "${OUT}" "${text}")

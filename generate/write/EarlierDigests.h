// The digests of file contents that manifests of earlier builds hold (64 bits, in hex). Only
// read: a project made by an earlier build keeps telling its hand edits from its generated files
// on the first run of this one. Nothing new is recorded with them.
#pragma once

#include <string>
#include <string_view>

namespace vbgen {

// What the first manifests held.
std::string ContentHash(std::string_view bytes);
// What the manifests of the last release hold.
std::string EarlierFileDigest(std::string_view bytes);

// True when the digest is one an earlier build recorded for these bytes.
bool EarlierDigestOf(const std::string& digest, std::string_view bytes);

}  // namespace vbgen

#include "generate/write/EarlierDigests.h"

#include <cstdint>
#include <cstdio>

namespace vbgen {

namespace {

// Eight bytes as the little-endian machines that wrote these digests read them.
std::uint64_t Load64(const char* bytes) {
  std::uint64_t word = 0;
  for (int i = 7; i >= 0; --i) word = (word << 8) | static_cast<unsigned char>(bytes[i]);
  return word;
}

std::uint64_t Rotate(std::uint64_t value, int bits) {
  return (value << bits) | (value >> (64 - bits));
}

std::uint64_t Avalanche(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDULL;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ULL;
  return h ^ (h >> 33);
}

std::string Hex64(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;

std::uint64_t Round(std::uint64_t lane, std::uint64_t word) {
  return Rotate(lane + word * kPrime2, 31) * kPrime1;
}

}  // namespace

std::string ContentHash(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ULL ^ bytes.size();
  std::size_t pos = 0;
  for (; pos + 8 <= bytes.size(); pos += 8) {
    hash = (hash ^ Load64(bytes.data() + pos)) * 1099511628211ULL;
    hash ^= hash >> 29;
  }
  for (; pos < bytes.size(); ++pos) {
    hash = (hash ^ static_cast<unsigned char>(bytes[pos])) * 1099511628211ULL;
  }
  return Hex64(hash);
}

std::string EarlierFileDigest(std::string_view bytes) {
  std::uint64_t lanes[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
  const char* data = bytes.data();
  std::size_t pos = 0;
  for (; pos + 32 <= bytes.size(); pos += 32) {
    for (int k = 0; k < 4; ++k) lanes[k] = Round(lanes[k], Load64(data + pos + 8 * k));
  }
  std::uint64_t hash = Rotate(lanes[0], 1) + Rotate(lanes[1], 7) + Rotate(lanes[2], 12) +
                       Rotate(lanes[3], 18) + bytes.size();
  for (; pos + 8 <= bytes.size(); pos += 8) {
    hash = Rotate(hash ^ Round(0, Load64(data + pos)), 27) * kPrime1 + kPrime2;
  }
  for (; pos < bytes.size(); ++pos) {
    hash = Rotate(hash ^ (static_cast<unsigned char>(data[pos]) * kPrime1), 11) * kPrime2;
  }
  return Hex64(Avalanche(hash));
}

bool EarlierDigestOf(const std::string& digest, std::string_view bytes) {
  return digest == EarlierFileDigest(bytes) || digest == ContentHash(bytes);
}

}  // namespace vbgen

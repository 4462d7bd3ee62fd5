#pragma once
// Digests of stored bytes (an image as the source holds it), for analysts who
// compare extractions by hash: MD5 and SHA-256, through libnettle natively
// and the system's CNG provider (BCrypt) on Windows.
#include <array>
#include <cstdint>
#include <string>

#include "base/byte_cursor.h"

namespace vantorico {

using Md5Digest = std::array<uint8_t, 16>;
using Sha256Digest = std::array<uint8_t, 32>;

Md5Digest Md5Of(ByteSpan bytes);
Sha256Digest Sha256Of(ByteSpan bytes);

// A digest as md5sum and sha256sum print it: lower-case hex.
std::string DigestText(ByteSpan digest);
template <size_t N>
std::string DigestText(const std::array<uint8_t, N>& digest) {
  return DigestText(ByteSpan(digest.data(), digest.size()));
}

}  // namespace vantorico

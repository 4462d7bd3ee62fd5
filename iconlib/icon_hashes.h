#pragma once
// Digests of stored bytes (an image as the source holds it), for analysts who
// compare extractions by hash: MD5 and SHA-256 through libnettle.
#include <array>
#include <cstdint>

#include "base/byte_cursor.h"

namespace vantorico {

using Md5Digest = std::array<uint8_t, 16>;
using Sha256Digest = std::array<uint8_t, 32>;

Md5Digest Md5Of(ByteSpan bytes);
Sha256Digest Sha256Of(ByteSpan bytes);

}  // namespace vantorico

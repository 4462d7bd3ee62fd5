#include "iconlib/images/icon_hashes.h"

#include <nettle/md5.h>
#include <nettle/sha2.h>

namespace vantorico {

Md5Digest Md5Of(ByteSpan bytes) {
  md5_ctx ctx;
  md5_init(&ctx);
  md5_update(&ctx, bytes.size(), bytes.data());
  Md5Digest out{};
  md5_digest(&ctx, out.size(), out.data());
  return out;
}

Sha256Digest Sha256Of(ByteSpan bytes) {
  sha256_ctx ctx;
  sha256_init(&ctx);
  sha256_update(&ctx, bytes.size(), bytes.data());
  Sha256Digest out{};
  sha256_digest(&ctx, out.size(), out.data());
  return out;
}

}  // namespace vantorico

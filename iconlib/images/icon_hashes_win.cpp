#include "iconlib/images/icon_hashes.h"

#include <windows.h>
#include <bcrypt.h>

#include "base/win_handles.h"

namespace vantorico {
namespace {

// The CNG handles, owned as every Win32 handle is (base/win_handles.h).
struct AlgorithmTraits {
  using Handle = BCRYPT_ALG_HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { BCryptCloseAlgorithmProvider(h, 0); }
};
struct HashTraits {
  using Handle = BCRYPT_HASH_HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { BCryptDestroyHash(h); }
};

// One digest through the system's CNG provider. The bytes go in as chunks
// of at most 4 GB (BCryptHashData takes a ULONG count). A failure leaves
// the digest zero. One function for both digests keeps the program small.
void DigestOf(LPCWSTR algorithm, ByteSpan bytes, uint8_t* out, ULONG size) {
  BCRYPT_ALG_HANDLE rawProvider = nullptr;
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&rawProvider, algorithm, nullptr, 0))) return;
  UniqueHandle<AlgorithmTraits> provider(rawProvider);
  BCRYPT_HASH_HANDLE rawHash = nullptr;
  bool ok = BCRYPT_SUCCESS(BCryptCreateHash(provider.get(), &rawHash, nullptr, 0, nullptr, 0, 0));
  UniqueHandle<HashTraits> hash(rawHash);
  const uint8_t* at = bytes.data();
  size_t left = bytes.size();
  while (ok && left > 0) {
    const ULONG chunk = left > 0x80000000u ? 0x80000000u : static_cast<ULONG>(left);
    ok = BCRYPT_SUCCESS(BCryptHashData(hash.get(), const_cast<PUCHAR>(at), chunk, 0));
    at += chunk;
    left -= chunk;
  }
  if (!ok || !BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), out, size, 0))) {
    for (ULONG i = 0; i < size; ++i) out[i] = 0;
  }
}

}  // namespace

Md5Digest Md5Of(ByteSpan bytes) {
  Md5Digest out{};
  DigestOf(BCRYPT_MD5_ALGORITHM, bytes, out.data(), static_cast<ULONG>(out.size()));
  return out;
}

Sha256Digest Sha256Of(ByteSpan bytes) {
  Sha256Digest out{};
  DigestOf(BCRYPT_SHA256_ALGORITHM, bytes, out.data(), static_cast<ULONG>(out.size()));
  return out;
}

}  // namespace vantorico

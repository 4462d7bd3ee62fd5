// The digests of stored images, natively (libnettle) and on Windows (BCrypt),
// against the published test vectors.
#include "iconlib/images/icon_hashes.h"

#include <gtest/gtest.h>

#include <string>

namespace vantorico {
namespace {

ByteSpan Text(const std::string& s) {
  return ByteSpan(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

struct Vector {
  std::string input;
  const char* md5;     // RFC 1321, appendix A.5; nullptr where it gives none
  const char* sha256;  // FIPS 180-2, appendix B; nullptr where it gives none
};

TEST(IconHashes, PublishedTestVectors) {
  const std::string digits =
      "12345678901234567890123456789012345678901234567890123456789012345678901234567890";
  const Vector vectors[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e",
       "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"a", "0cc175b9c0f1b6a831c399e269772661", nullptr},
      {"abc", "900150983cd24fb0d6963f7d28e17f72",
       "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0", nullptr},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b", nullptr},
      {digits, "57edf4a22be3c955ac49da2e2107b67a", nullptr},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", nullptr,
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      // Many blocks: the whole input goes through, not a first piece of it.
      {std::string(1000000, 'a'), nullptr,
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Vector& v : vectors) {
    const std::string shown = v.input.substr(0, 20);
    if (v.md5) {
      EXPECT_EQ(DigestText(Md5Of(Text(v.input))), v.md5) << shown;
    }
    if (v.sha256) {
      EXPECT_EQ(DigestText(Sha256Of(Text(v.input))), v.sha256) << shown;
    }
  }
}

}  // namespace
}  // namespace vantorico

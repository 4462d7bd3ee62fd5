#include <gtest/gtest.h>

#include "iconlib/command/extension_key.h"
#include "iconlib/command/extract_file_icon.h"

namespace vantorico {
namespace {

TEST(ExtensionKey, LastThreeBytesLowerCased) {
  char key[4];
  const struct {
    const char* path;
    const char* key;
  } cases[] = {
      {"C:\\a\\TOOL.EXE", "exe"}, {"myico", "ico"}, {"x.jpeg", "peg"}, {"ab", "ab"}, {"", ""},
      {"tool.exe ", "xe "},       {"A.DlL", "dll"}};
  for (const auto& c : cases) {
    EXPECT_TRUE(ExtensionKey(c.path, key)) << c.path;
    EXPECT_STREQ(key, c.key) << c.path;
  }
  EXPECT_TRUE(ExtensionKey(nullptr, key));
  EXPECT_STREQ(key, "");
}

TEST(ExtensionKey, DoubleByteCharactersNeverMatch) {
  char key[4];
  // 0x81 0x69 is one GBK character whose second byte is 'i'.
  EXPECT_FALSE(ExtensionKey("a\x81ico", key));
  EXPECT_FALSE(
      ExtensionKey("\x81icoxx"
                   "\xB0\xA1",
                   key));
  EXPECT_FALSE(HasExtensionKey("x\x81ico", "ico"));
  EXPECT_FALSE(ExtensionKey("x.ic\xE9", key));
  // A double-byte character before the key does not matter.
  EXPECT_TRUE(HasExtensionKey("\xB0\xA1.ico", "ico"));
}

TEST(ExtensionKey, KindsOfSourcesAndOutputs) {
  EXPECT_EQ(SourceKindOfPath("C:\\TOOL.EXE"), SourceKind::Module);
  EXPECT_EQ(SourceKindOfPath("tool.exe"), SourceKind::Module);
  EXPECT_EQ(SourceKindOfPath("lib.ICL"), SourceKind::Module);
  EXPECT_EQ(SourceKindOfPath("x.dll"), SourceKind::Module);
  EXPECT_EQ(SourceKindOfPath("tool.exe "), SourceKind::Unsupported);
  EXPECT_EQ(SourceKindOfPath("myico"), SourceKind::IconFile);
  EXPECT_EQ(SourceKindOfPath("icons"), SourceKind::Unsupported);
  EXPECT_EQ(SourceKindOfPath("x.cpl"), SourceKind::Unsupported);
  EXPECT_EQ(OutputKindOfPath("1.ICO"), OutputKind::IconFile);
  EXPECT_EQ(OutputKindOfPath("1.bmp"), OutputKind::BitmapFile);
  EXPECT_EQ(OutputKindOfPath("1.png"), OutputKind::Nothing);
  EXPECT_EQ(OutputKindOfPath("1.jpeg"), OutputKind::Nothing);
}

}  // namespace
}  // namespace vantorico

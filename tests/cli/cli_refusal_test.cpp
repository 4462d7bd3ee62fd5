// Why a file is no program file: the readers' reason reaches the command
// line's message and the source's JSON record.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/text_escape.h"
#include "iconlib/formats/module_source.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

constexpr uint32_t kNewHeaderAt = 0x40;

void PutU16(Bytes* b, size_t at, uint16_t v) {
  (*b)[at] = static_cast<uint8_t>(v);
  (*b)[at + 1] = static_cast<uint8_t>(v >> 8);
}

void PutU32(Bytes* b, size_t at, uint32_t v) {
  PutU16(b, at, static_cast<uint16_t>(v));
  PutU16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

// An MZ header pointing at kNewHeaderAt, the signature there, and size bytes in all.
Bytes MzWith(const char* signature, size_t signatureSize, size_t size) {
  Bytes b(size, 0);
  b[0] = 'M';
  b[1] = 'Z';
  PutU32(&b, 0x3C, kNewHeaderAt);
  for (size_t i = 0; i < signatureSize && kNewHeaderAt + i < size; ++i) {
    b[kNewHeaderAt + i] = static_cast<uint8_t>(signature[i]);
  }
  return b;
}

// The COFF header whole (20 bytes), then an optional header with a magic of
// neither kind.
Bytes PeWithUnknownMagic() {
  Bytes b = MzWith("PE\0\0", 4, kNewHeaderAt + 4 + 20 + 96);
  PutU16(&b, kNewHeaderAt + 4 + 2, 1);  // one section
  PutU16(&b, kNewHeaderAt + 4 + 16, 96);
  PutU16(&b, kNewHeaderAt + 4 + 20, 0x0999);
  return b;
}

TEST(CliRefusal, EachReasonAFileIsNoProgramIsSaidAndRecorded) {
  ScratchDir dir("cli_refusal");
  const std::string text = "plain text, no program";
  const struct {
    const char* leaf;
    Bytes bytes;
    std::string reason;
  } cases[] = {
      {"text.dll", Bytes(text.begin(), text.end()),
       "it starts with neither an MZ header nor an icon file header"},
      {"mz_only.exe", MzWith("XY", 2, 0x80), ModuleRefusalText(ModuleRefusal::NoNewHeader)},
      {"pe_short.dll", MzWith("PE\0\0", 4, kNewHeaderAt + 4 + 10),
       ModuleRefusalText(ModuleRefusal::PeHeaderCutShort)},
      {"pe_magic.dll", PeWithUnknownMagic(),
       ModuleRefusalText(ModuleRefusal::UnknownOptionalHeader)},
      {"ne_short.exe", MzWith("NE", 2, kNewHeaderAt + 0x10),
       ModuleRefusalText(ModuleRefusal::NeHeaderCutShort)},
  };
  for (const auto& c : cases) {
    const std::string path = dir.Path(c.leaf);
    ASSERT_TRUE(WriteWholeFile(path, c.bytes)) << c.leaf;
    const std::string message = "'" + path + "' is not a program file or an icon file: " + c.reason;
    for (const std::string command : {"list", "extract"}) {
      std::vector<std::string> args = {command, path};
      if (command == "extract") args.insert(args.end(), {"-o", dir.Path("out")});
      std::string out, err;
      EXPECT_EQ(RunCli(args, &out, &err), kExitBadInput) << command << " " << c.leaf;
      EXPECT_NE(err.find(message + "\n"), std::string::npos)
          << command << " " << c.leaf << ": " << err;
      args.insert(args.begin() + 1, "--json");
      out.clear();
      EXPECT_EQ(RunCli(args, &out, &err), kExitBadInput) << command << " " << c.leaf;
      EXPECT_NE(
          out.find("\"error\":" + JsonString(message) + ",\"reason\":" + JsonString(c.reason)),
          std::string::npos)
          << command << " " << c.leaf << ": " << out;
    }
  }
}

// A file that cannot be opened has no reader's reason to give.
TEST(CliRefusal, AMissingFileHasNoReason) {
  ScratchDir dir("cli_refusal_missing");
  std::string out, err;
  EXPECT_EQ(RunCli({"list", "--json", dir.Path("absent.dll")}, &out, &err), kExitBadInput);
  EXPECT_NE(out.find("\"error\":"), std::string::npos) << out;
  EXPECT_EQ(out.find("\"reason\":"), std::string::npos) << out;
}

}  // namespace
}  // namespace vantorico

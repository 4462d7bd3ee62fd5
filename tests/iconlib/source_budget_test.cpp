// What a source costs: a module is read by range (only its headers, its
// resource directory and the resources asked for), and its groups together
// may claim only so many pixels.
#include <gtest/gtest.h>

#include "iconlib/formats/byte_source.h"
#include "iconlib/formats/icon_constants.h"
#include "iconlib/formats/icon_source.h"
#include "pe_builder.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

Bytes ModuleOfGroups(const std::vector<Bytes>& images) {
  std::vector<PeResource> r;
  for (size_t i = 0; i < images.size(); ++i) {
    const auto id = static_cast<uint16_t>(i + 1);
    r.push_back(
        {kResourceTypeGroupIcon, "", id, 0x0409, GroupDirectoryOf({{id, images[i]}}, false)});
  }
  for (size_t i = 0; i < images.size(); ++i) {
    r.push_back({kResourceTypeIcon, "", static_cast<uint16_t>(i + 1), 0x0409, images[i]});
  }
  return BuildPe(r);
}

TEST(SourceBudget, GroupsPastThePixelBudgetAreRefused) {
  // A PNG header claiming 4096 x 4096 is a few bytes: the first takes the
  // budget's floor, the second is refused, a small image after it still fits.
  const Bytes file =
      ModuleOfGroups({MakePng(4096, 4096), MakePng(4096, 4096), MakeDib(16, 16, 4, 16)});
  ASSERT_EQ(uint64_t{4096} * 4096, kPixelBudgetFloor);
  OpenedSource opened = IconSource::OpenBytes(
      "m.dll",
      {OpenStatus::Opened, SystemError{}, ByteSourceOfBytes(ByteSpan(file.data(), file.size()))});
  ASSERT_TRUE(opened.ok());
  ASSERT_EQ(opened.source->GroupCount(), 3);
  GroupRead first = opened.source->ReadGroup(1);
  EXPECT_EQ(first.status, ExtractStatus::Written);
  GroupRead second = opened.source->ReadGroup(2);
  EXPECT_EQ(second.set, nullptr);
  EXPECT_EQ(second.status, ExtractStatus::OverBudget);
  EXPECT_EQ(second.why, GroupFailure::OverPixelBudget);
  GroupRead third = opened.source->ReadGroup(3);
  EXPECT_EQ(third.status, ExtractStatus::Written);
  EXPECT_EQ(opened.source->PixelBudgetLeft(),
            PixelBudgetFor(file.size()) - kPixelBudgetFloor - 16 * 16);
}

TEST(SourceBudget, AModuleIsReadOnlyWhereItsResourcesAre) {
  // 8 MB after the resources: reading the file whole would read them.
  Bytes file = ModuleOfGroups({MakeDib(32, 32, 8, 256), MakeDib(16, 16, 4, 16)});
  const size_t module = file.size();
  file.resize(module + 8 * 1024 * 1024, 0xA5);
  ScratchDir dir("source_budget");
  const std::string path = dir.Path("large.exe");
  ASSERT_TRUE(WriteWholeFile(path, file));
  OpenedBytes bytes = OpenByteSource(path.c_str());
  ASSERT_EQ(bytes.status, OpenStatus::Opened);
  const ByteSource* source = bytes.source.get();
  ASSERT_EQ(source->size(), file.size());
  OpenedSource opened = IconSource::OpenBytes(path.c_str(), std::move(bytes));
  ASSERT_TRUE(opened.ok());
  ASSERT_EQ(opened.source->GroupCount(), 2);
  for (int32_t i = 1; i <= 2; ++i)
    EXPECT_EQ(opened.source->ReadGroup(i).status, ExtractStatus::Written);
  EXPECT_GT(source->bytesRead(), 0u);
  EXPECT_LE(source->bytesRead(), module + kReaderPageSize);
  EXPECT_FALSE(source->changed());
}

// A file that is no program file says why, from its headers.
TEST(SourceBudget, ARefusedModuleSaysWhy) {
  const Bytes pe = ModuleOfGroups({MakeDib(16, 16, 4, 16)});
  const uint32_t peAt = LoadU32(pe, 0x3C);
  Bytes noMz = pe, noNew = pe, cutPe = pe, badMagic = pe;
  noMz[0] = 'X';
  PutU32(&noNew, peAt, 0x12345678);
  cutPe.resize(peAt + 8);
  PutU16(&badMagic, peAt + 24, 0x999);
  Bytes cutNe(0x40 + 0x20, 0);
  PutU16(&cutNe, 0, 0x5A4D);
  PutU32(&cutNe, 0x3C, 0x40);
  PutU16(&cutNe, 0x40, 0x454E);
  const struct {
    const char* what;
    Bytes file;
    ModuleRefusal why;
  } cases[] = {
      {"not MZ", noMz, ModuleRefusal::NoMzHeader},
      {"no PE or NE signature", noNew, ModuleRefusal::NoNewHeader},
      {"PE header cut", cutPe, ModuleRefusal::PeHeaderCutShort},
      {"unknown optional header", badMagic, ModuleRefusal::UnknownOptionalHeader},
      {"NE header cut", cutNe, ModuleRefusal::NeHeaderCutShort},
      {"a module", pe, ModuleRefusal::None},
  };
  for (const auto& c : cases) {
    OpenedSource opened =
        IconSource::OpenBytes("m.dll", {OpenStatus::Opened, SystemError{},
                                        ByteSourceOfBytes(ByteSpan(c.file.data(), c.file.size()))});
    EXPECT_EQ(opened.refusal, c.why) << c.what;
    EXPECT_EQ(opened.ok(), c.why == ModuleRefusal::None) << c.what;
    EXPECT_STRNE(ModuleRefusalText(c.why), "unknown") << c.what;
  }
}

}  // namespace
}  // namespace vantorico

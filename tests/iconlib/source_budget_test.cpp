// What a source costs: a module is read by range (only its headers, its
// resource directory and the resources asked for), and its groups together
// may claim only so many pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

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

// Bytes in memory read as a file is, counting the reads; reads past `now`
// come back short, as from a file cut short after it was opened.
class CountedSource final : public ByteSource {
 public:
  explicit CountedSource(const Bytes& bytes)
      : ByteSource(bytes.size(), FileIdentity{}), bytes_(bytes), now_(bytes.size()) {}
  std::vector<size_t> reads;  // the length of each
  void CutTo(size_t size) { now_ = size; }

 private:
  bool Fill(uint64_t offset, uint8_t* out, size_t length, SystemError* error) override {
    (void)error;
    reads.push_back(length);
    if (offset + length > now_) return false;
    std::copy(bytes_.begin() + static_cast<long>(offset),
              bytes_.begin() + static_cast<long>(offset + length), out);
    return true;
  }
  const Bytes& bytes_;
  size_t now_;
};

// A group whose images lie near each other (past the pages read for the
// directory) is read in one read; the images are its own. The same
// group in a file cut short after it was opened is a failed read.
TEST(SourceBudget, AGroupsImagesAreReadInOneRead) {
  std::vector<std::pair<uint16_t, Bytes>> images;
  std::vector<PeResource> r;
  for (uint16_t id = 1; id <= 6; ++id) {
    images.push_back({id, MakeDib(128 + id * 8, 128 + id * 8, 32, 0)});
    r.push_back({kResourceTypeIcon, "", id, 0x0409, images.back().second});
  }
  r.insert(r.begin(), {kResourceTypeGroupIcon, "", 1, 0x0409, GroupDirectoryOf(images, false)});
  const Bytes file = BuildPe(r);
  for (const bool cut : {false, true}) {
    auto counted = std::unique_ptr<CountedSource>(new CountedSource(file));
    CountedSource* source = counted.get();
    OpenedSource opened =
        IconSource::OpenBytes("m.dll", {OpenStatus::Opened, SystemError{}, std::move(counted)});
    ASSERT_TRUE(opened.ok());
    const size_t before = source->reads.size();
    // Half the images are gone (the group's directory, last in the file, was read at open).
    if (cut) source->CutTo(file.size() / 2);
    GroupRead read = opened.source->ReadGroup(1);
    if (cut) {
      EXPECT_EQ(read.set, nullptr);
      EXPECT_EQ(read.why, GroupFailure::ReadFailed);
      continue;
    }
    ASSERT_NE(read.set, nullptr);
    ASSERT_EQ(read.set->imageCount, images.size());
    for (size_t i = 0; i < images.size(); ++i) {
      const IconImageEntry& e = read.set->images[i];
      EXPECT_EQ(Bytes(e.data, e.data + e.dataSize), images[i].second) << i;
    }
    // One read of all the images (the others are pages of the directory,
    // whose entries this builder puts among the images).
    size_t all = 0, whole = 0;
    for (const auto& image : images) all += image.second.size();
    for (size_t k = before; k < source->reads.size(); ++k) whole += source->reads[k] >= all;
    EXPECT_EQ(whole, 1u);
  }
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

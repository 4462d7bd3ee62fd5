// Hostile program files, each built byte by byte here: the reader must give
// the exact result noted, without reading past the file or looping.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "base/heap.h"
#include "iconlib/formats/icon_group_reader.h"
#include "iconlib/formats/icon_source.h"
#include "iconlib/formats/image_fields.h"
#include "iconlib/formats/module_source.h"
#include "pe_builder.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

constexpr uint32_t kHigh = 0x80000000u;
constexpr uint32_t kSectionRva = 0x1000;
constexpr size_t kSectionFileOffset = 0x200;

// A resource section laid out by hand; offsets are from its start.
class Rsrc {
 public:
  // A directory with room for ids entries (no named ones); returns its offset.
  size_t Dir(uint16_t ids, uint16_t named = 0) {
    const size_t at = b_.size();
    b_.resize(at + 16 + 8 * (size_t{ids} + named));
    PutU16(&b_, at + 12, named);
    PutU16(&b_, at + 14, ids);
    return at;
  }
  void Entry(size_t dir, size_t i, uint32_t name, uint32_t target) {
    PutU32(&b_, dir + 16 + 8 * i, name);
    PutU32(&b_, dir + 16 + 8 * i + 4, target);
  }
  // A data entry for bytes already placed at data_offset.
  size_t Leaf(size_t data_offset, uint32_t size) {
    const size_t at = b_.size();
    b_.resize(at + 16);
    PutU32(&b_, at, static_cast<uint32_t>(kSectionRva + data_offset));
    PutU32(&b_, at + 4, size);
    return at;
  }
  size_t Blob(const Bytes& bytes) {
    const size_t at = b_.size();
    b_.insert(b_.end(), bytes.begin(), bytes.end());
    while (b_.size() % 4) b_.push_back(0);
    return at;
  }
  // name -> lang -> leaf for one resource whose bytes are given.
  size_t Resource(const Bytes& bytes) {
    const size_t data = Blob(bytes);
    const size_t leaf = Leaf(data, static_cast<uint32_t>(bytes.size()));
    const size_t lang = Dir(1);
    Entry(lang, 0, 0, static_cast<uint32_t>(leaf));
    return lang;
  }
  const Bytes& bytes() const { return b_; }

 private:
  Bytes b_;
};

// A PE32 file with one section holding the resources at RVA 0x1000.
Bytes MakePe(const Bytes& rsrc) {
  return WrapInPe(rsrc);
}

// A group directory naming the given RT_ICON ids.
Bytes GroupDirectory(const std::vector<uint16_t>& ids, uint16_t claimed) {
  Bytes g(6 + 14 * ids.size(), 0);
  PutU16(&g, 2, 1);
  PutU16(&g, 4, claimed);
  for (size_t i = 0; i < ids.size(); ++i) PutU16(&g, 6 + 14 * i + 12, ids[i]);
  return g;
}

// root: RT_ICON (3) with the given images by id, RT_GROUP_ICON (14) with one group (id 1).
Bytes OneGroupModule(const Bytes& group, const std::vector<std::pair<uint16_t, Bytes>>& images) {
  Rsrc r;
  const size_t root = r.Dir(2);
  const size_t icons = r.Dir(static_cast<uint16_t>(images.size()));
  const size_t groups = r.Dir(1);
  r.Entry(root, 0, 3, kHigh | static_cast<uint32_t>(icons));
  r.Entry(root, 1, 14, kHigh | static_cast<uint32_t>(groups));
  for (size_t i = 0; i < images.size(); ++i) {
    r.Entry(icons, i, images[i].first, kHigh | static_cast<uint32_t>(r.Resource(images[i].second)));
  }
  r.Entry(groups, 0, 1, kHigh | static_cast<uint32_t>(r.Resource(group)));
  return MakePe(r.bytes());
}

class MalformedModule : public ::testing::Test {
 protected:
  void SetUp() override { live_ = GetHeapCounters().liveBlocks; }
  void TearDown() override { EXPECT_EQ(GetHeapCounters().liveBlocks, live_); }

  // Opens bytes_ (kept alive by the fixture) and reads group index.
  std::unique_ptr<ModuleSource> Open(Bytes bytes) {
    bytes_ = std::move(bytes);
    return OpenPortableModuleBytes(ByteSpan(bytes_.data(), bytes_.size()));
  }
  static IconImageSetPtr Read(ModuleSource& m, int32_t index) {
    const IconGroupLocation at = LocateIconGroup(m, index);
    return at.found ? ReadIconGroupFrom(m, at.name, "m.dll") : nullptr;
  }
  Bytes bytes_;
  uint64_t live_ = 0;
};

TEST_F(MalformedModule, TheWellFormedBaseReads) {
  const Bytes dib = MakeDib(16, 16, 4, 16);
  auto m = Open(OneGroupModule(GroupDirectory({7}, 1), {{7, dib}}));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(LocateIconGroup(*m, 1).groupCount, 1);
  IconImageSetPtr set = Read(*m, 1);
  ASSERT_NE(set, nullptr);
  ASSERT_EQ(set->imageCount, 1u);
  EXPECT_EQ(set->images[0].dataSize, dib.size());
  EXPECT_EQ(set->images[0].width, 16);
}

TEST_F(MalformedModule, DirectoryThatLoopsBackOnItselfEnds) {
  // RT_GROUP_ICON's name level is the root itself, and each name's language
  // level is the root again: the walk takes three steps and stops.
  Rsrc r;
  const size_t root = r.Dir(2);
  r.Entry(root, 0, 3, kHigh | static_cast<uint32_t>(root));
  r.Entry(root, 1, 14, kHigh | static_cast<uint32_t>(root));
  auto m = Open(MakePe(r.bytes()));
  ASSERT_NE(m, nullptr);
  const IconGroupLocation at = LocateIconGroup(*m, 2);
  EXPECT_EQ(at.groupCount, 2);  // the root's own entries, ids 3 and 14
  ASSERT_TRUE(at.found);
  EXPECT_EQ(at.name.id, 14);
  EXPECT_EQ(Read(*m, 1), nullptr);
  EXPECT_EQ(Read(*m, 2), nullptr);
}

TEST_F(MalformedModule, LanguageLevelPointingAtItsParentIsNotALeaf) {
  Rsrc r;
  const size_t root = r.Dir(1);
  const size_t groups = r.Dir(1);
  r.Entry(root, 0, 14, kHigh | static_cast<uint32_t>(groups));
  r.Entry(groups, 0, 1, kHigh | static_cast<uint32_t>(groups));
  auto m = Open(MakePe(r.bytes()));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(LocateIconGroup(*m, 1).groupCount, 1);
  EXPECT_EQ(Read(*m, 1), nullptr);
}

TEST_F(MalformedModule, EntriesPointingPastTheEnd) {
  const Bytes dib = MakeDib(16, 16, 4, 16);
  Bytes base = OneGroupModule(GroupDirectory({7}, 1), {{7, dib}});
  const size_t root = kSectionFileOffset, icons = root + 16 + 16, groups = icons + 16 + 8;
  {
    Bytes b = base;  // RT_GROUP_ICON's directory far past the section
    PutU32(&b, root + 16 + 8 + 4, kHigh | 0x7FFFFFF0u);
    auto m = Open(b);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(LocateIconGroup(*m, 1).groupCount, 0);
  }
  {
    Bytes b = base;  // the root claims more entries than the file holds
    PutU16(&b, root + 14, 0xFFFF);
    auto m = Open(b);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(LocateIconGroup(*m, 1).groupCount, 0);
  }
  {
    Bytes b = base;  // the group's language level past the end
    PutU32(&b, groups + 16 + 4, kHigh | 0x00FFFFF0u);
    auto m = Open(b);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(LocateIconGroup(*m, 1).groupCount, 1);
    EXPECT_EQ(Read(*m, 1), nullptr);
  }
  {
    Bytes b = base;  // the resource section's RVA beyond every section
    PutU32(&b, 0x58 + 96 + 16, 0x7FFFF000u);
    auto m = Open(b);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(LocateIconGroup(*m, 1).groupCount, 0);
  }
}

TEST_F(MalformedModule, SixtyFiveThousandFiveHundredThirtyFiveGroups) {
  // Every name of the full 16-bit directory leads to the same group.
  Rsrc r;
  const size_t root = r.Dir(2);
  const size_t icons = r.Dir(1);
  const size_t groups = r.Dir(0xFFFF);
  r.Entry(root, 0, 3, kHigh | static_cast<uint32_t>(icons));
  r.Entry(root, 1, 14, kHigh | static_cast<uint32_t>(groups));
  r.Entry(icons, 0, 7, kHigh | static_cast<uint32_t>(r.Resource(MakeDib(16, 16, 4, 16))));
  const size_t group = r.Resource(GroupDirectory({7}, 1));
  for (uint32_t i = 0; i < 0xFFFF; ++i) {
    r.Entry(groups, i, 0xFFFF - i, kHigh | static_cast<uint32_t>(group));  // stored descending
  }
  auto m = Open(MakePe(r.bytes()));
  ASSERT_NE(m, nullptr);
  const IconGroupLocation last = LocateIconGroup(*m, 0xFFFF);
  EXPECT_EQ(last.groupCount, 0xFFFF);
  ASSERT_TRUE(last.found);
  EXPECT_EQ(last.name.id, 0xFFFF);  // listed ascending
  EXPECT_FALSE(LocateIconGroup(*m, 0x10000).found);
  IconImageSetPtr set = Read(*m, 0xFFFF);
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->imageCount, 1u);
}

TEST_F(MalformedModule, GroupOf65535ImagesOverAFullIconDirectoryIsQuick) {
  // Each of 65535 group entries names the last of 65535 RT_ICON ids: a
  // lookup per image must not cost a walk of the whole directory.
  Rsrc r;
  const size_t root = r.Dir(2);
  const size_t icons = r.Dir(0xFFFF);
  const size_t groups = r.Dir(1);
  r.Entry(root, 0, 3, kHigh | static_cast<uint32_t>(icons));
  r.Entry(root, 1, 14, kHigh | static_cast<uint32_t>(groups));
  const size_t image = r.Resource(MakeDib(1, 1, 1, 2));
  for (uint32_t i = 0; i < 0xFFFF; ++i)
    r.Entry(icons, i, i + 1, kHigh | static_cast<uint32_t>(image));
  r.Entry(groups, 0, 1,
          kHigh | static_cast<uint32_t>(r.Resource(GroupDirectory(
                      std::vector<uint16_t>(0xFFFF, static_cast<uint16_t>(0xFFFF)), 0xFFFF))));
  auto m = Open(MakePe(r.bytes()));
  ASSERT_NE(m, nullptr);
  const auto start = std::chrono::steady_clock::now();
  IconImageSetPtr set = Read(*m, 1);
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->imageCount, 0xFFFFu);
  EXPECT_EQ(set->images[0xFFFE].width, 1);
  EXPECT_LT(std::chrono::duration_cast<std::chrono::seconds>(took).count(), 5);
}

TEST_F(MalformedModule, GroupNamingOneImageTooOftenIsCapped) {
  // 4097 entries naming one 64 KB image: 256 MB and 64 KB in all, one past the cap.
  Bytes image(0x10000, 0);
  PutU32(&image, 0, 40);
  auto m = Open(OneGroupModule(
      GroupDirectory(std::vector<uint16_t>(4097, static_cast<uint16_t>(7)), 4097), {{7, image}}));
  ASSERT_NE(m, nullptr);
  const IconGroupLocation at = LocateIconGroup(*m, 1);
  const uint64_t allocations = GetHeapCounters().totalAllocations;
  EXPECT_EQ(ReadIconGroupFrom(*m, at.name, "m.dll"), nullptr);
  EXPECT_EQ(GetHeapCounters().totalAllocations, allocations);
  // Sixteen of them read.
  auto fits = Open(OneGroupModule(
      GroupDirectory(std::vector<uint16_t>(16, static_cast<uint16_t>(7)), 16), {{7, image}}));
  IconImageSetPtr set = Read(*fits, 1);
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->imageCount, 16u);
}

// Groups that all name the same large image: each group alone is fine, but
// the source's budget (64 MiB + 16 x its size) stops the reads, so a 1 MB
// file cannot be made to write gigabytes.
TEST_F(MalformedModule, GroupsRepeatingOneImageStopAtTheBudget) {
  const Bytes image(1024 * 1024, 0x42);
  const Bytes group = GroupDirectory(std::vector<uint16_t>(8, 7), 8);  // 8 MiB a group
  Rsrc r;
  const size_t root = r.Dir(2);
  const size_t icons = r.Dir(1);
  constexpr uint16_t kGroups = 40;
  const size_t groups = r.Dir(kGroups);
  r.Entry(root, 0, 3, kHigh | static_cast<uint32_t>(icons));
  r.Entry(root, 1, 14, kHigh | static_cast<uint32_t>(groups));
  r.Entry(icons, 0, 7, kHigh | static_cast<uint32_t>(r.Resource(image)));
  const size_t shared = r.Resource(group);
  for (uint16_t i = 0; i < kGroups; ++i) {
    r.Entry(groups, i, 100u + i, kHigh | static_cast<uint32_t>(shared));
  }
  const Bytes pe = MakePe(r.bytes());
  ASSERT_LT(pe.size(), 1024u * 1024 + 4096);
  auto m = Open(pe);
  ASSERT_NE(m, nullptr);
  uint64_t budget = OutputBudgetFor(pe.size());
  int read = 0;
  for (uint32_t i = 0; i < kGroups; ++i) {
    GroupFailure why = GroupFailure::None;
    IconImageSetPtr set = ReadIconGroupAt(*m, i, "m.dll", budget, &why);
    if (!set) {
      EXPECT_EQ(why, GroupFailure::OverBudget) << i;
      continue;
    }
    budget -= 8u * image.size();
    ++read;
  }
  EXPECT_EQ(read, 10);  // 80 MiB of the 80 MiB and a little
}

// Text names longer than any compiler writes are not names: the entry is
// left out rather than decoded into 65535 units (per entry that shares it).
// Names of any length keep their groups (the loader and pefile see them,
// so the numbering is the module's); only what is shown is cut, and a
// lookup by the whole name compares all of it. A name past the file's end
// is no name.
TEST_F(MalformedModule, LongTextNamesKeepTheirGroupsAndAreShownCut) {
  Rsrc r;
  const size_t root = r.Dir(1);
  const size_t groups = r.Dir(0, 4);
  r.Entry(root, 0, 14, kHigh | static_cast<uint32_t>(groups));
  const auto name = [&](uint16_t units, char letter) {
    Bytes b(2 + 2 * size_t{units}, 0);
    PutU16(&b, 0, units);
    for (uint16_t i = 0; i < units; ++i) PutU16(&b, 2 + 2 * i, static_cast<uint16_t>(letter));
    return static_cast<uint32_t>(r.Blob(b));
  };
  const uint32_t fits = name(256, 'A'), too_long = name(257, 'A'), huge = name(65535, 'B');
  const size_t group = r.Resource(GroupDirectory({}, 0));
  r.Entry(groups, 0, kHigh | fits, kHigh | static_cast<uint32_t>(group));
  r.Entry(groups, 1, kHigh | too_long, kHigh | static_cast<uint32_t>(group));
  r.Entry(groups, 2, kHigh | huge, kHigh | static_cast<uint32_t>(group));
  r.Entry(groups, 3, kHigh | 0x7FFFFFF0u, kHigh | static_cast<uint32_t>(group));  // past the end
  auto m = Open(MakePe(r.bytes()));
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->CountNames(kResourceTypeGroupIcon), 3u);
  const struct {
    std::string shown;
    bool cut;
  } want[] = {
      {std::string(256, 'A'), false}, {std::string(256, 'A'), true}, {std::string(256, 'B'), true}};
  for (uint32_t i = 0; i < 3; ++i) {
    ResourceName n;
    ASSERT_TRUE(m->NameAt(kResourceTypeGroupIcon, i, &n)) << i;
    EXPECT_EQ(n.text, want[i].shown) << i;
    EXPECT_EQ(n.cut, want[i].cut) << i;
  }
  const struct {
    std::string text;
    uint32_t ordinal;
    bool is;
  } names[] = {
      {std::string(256, 'a'), 0, true},   {std::string(256, 'a'), 1, false},
      {std::string(257, 'a'), 1, true},   {std::string(257, 'a'), 0, false},
      {std::string(65535, 'b'), 2, true}, {std::string(65534, 'b') + "c", 2, false},
      {std::string(256, 'b'), 2, false},
  };
  for (const auto& n : names) {
    EXPECT_EQ(m->NameIs(kResourceTypeGroupIcon, n.ordinal, n.text), n.is)
        << n.text.size() << " at " << n.ordinal;
    ResourceName whole;
    whole.isText = true;
    whole.text = n.text;
    ByteSpan found;
    if (n.is) {
      EXPECT_TRUE(m->FindResourceBytes(whole, kResourceTypeGroupIcon, &found));
    }
  }
}

TEST_F(MalformedModule, ZeroSizeResources) {
  {
    auto m = Open(OneGroupModule(Bytes(), {}));  // an empty group directory
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(LocateIconGroup(*m, 1).groupCount, 1);
    EXPECT_EQ(Read(*m, 1), nullptr);
  }
  {
    auto m = Open(OneGroupModule(GroupDirectory({7}, 1), {{7, Bytes()}}));  // an empty image
    ASSERT_NE(m, nullptr);
    IconImageSetPtr set = Read(*m, 1);
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->imageCount, 1u);
    EXPECT_EQ(set->images[0].dataSize, 0u);
    EXPECT_EQ(set->images[0].header, nullptr);
    EXPECT_EQ(set->images[0].width, 0);
  }
}

TEST_F(MalformedModule, HugeResourcesAreNotFound) {
  Bytes b = OneGroupModule(GroupDirectory({7}, 1), {{7, MakeDib(16, 16, 4, 16)}});
  // The image's data entry is the first leaf: after root, two directories and the blob.
  Rsrc probe;
  const size_t leaf =
      kSectionFileOffset + 16 + 16 + 16 + 8 + 16 + 8 + MakeDib(16, 16, 4, 16).size();
  ASSERT_EQ(LoadU32(b, leaf),
            kSectionRva + (leaf - kSectionFileOffset) - MakeDib(16, 16, 4, 16).size());
  for (uint32_t size : {0xFFFFFFFFu, 0x80000000u, static_cast<uint32_t>(b.size())}) {
    Bytes huge = b;
    PutU32(&huge, leaf + 4, size);
    auto m = Open(huge);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(LocateIconGroup(*m, 1).groupCount, 1);
    EXPECT_EQ(Read(*m, 1), nullptr) << size;
  }
}

TEST_F(MalformedModule, GroupDirectoryCutShort) {
  // Three images claimed, one entry stored; and a header cut inside its count.
  auto m = Open(OneGroupModule(GroupDirectory({7}, 3), {{7, MakeDib(16, 16, 4, 16)}}));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(Read(*m, 1), nullptr);
  auto m2 = Open(OneGroupModule(Bytes{0, 0, 1, 0, 1}, {{7, MakeDib(16, 16, 4, 16)}}));
  ASSERT_NE(m2, nullptr);
  EXPECT_EQ(Read(*m2, 1), nullptr);
}

TEST_F(MalformedModule, MissingIconIdFailsTheWholeGroup) {
  auto m = Open(OneGroupModule(GroupDirectory({7, 8}, 2), {{7, MakeDib(16, 16, 4, 16)}}));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(LocateIconGroup(*m, 1).groupCount, 1);
  EXPECT_EQ(Read(*m, 1), nullptr);
}

TEST_F(MalformedModule, HeaderSizeOfAllOnesAndRowsPastTheDataKeepTheBytes) {
  Bytes all_ones = MakeDib(16, 16, 4, 16);
  PutU32(&all_ones, 0, 0xFFFFFFFFu);
  Bytes tall = MakeDib(16, 16, 4, 16);
  PutU32(&tall, 8, 2 * 1000);  // a thousand rows in a 16-row image
  auto m = Open(OneGroupModule(GroupDirectory({7, 8}, 2), {{7, all_ones}, {8, tall}}));
  ASSERT_NE(m, nullptr);
  IconImageSetPtr set = Read(*m, 1);
  ASSERT_NE(set, nullptr);
  ASSERT_EQ(set->imageCount, 2u);
  for (uint32_t i = 0; i < 2; ++i) {
    const IconImageEntry& e = set->images[i];
    EXPECT_EQ(e.dataSize, all_ones.size()) << i;
    EXPECT_EQ(e.header, nullptr) << i;
    EXPECT_EQ(e.colorBits, nullptr) << i;
    EXPECT_EQ(e.maskBits, nullptr) << i;
    EXPECT_EQ(e.width, 0) << i;
    EXPECT_EQ(e.height, 0) << i;
  }
  EXPECT_EQ(set->images[0].data[0], 0xFF);
  EXPECT_EQ(LoadU32(Bytes(set->images[1].data, set->images[1].data + 12), 8), 2000u);
}

}  // namespace
}  // namespace vantorico

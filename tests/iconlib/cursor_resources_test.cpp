// Cursor groups of a module become cursor files whose hotspots and images
// read back as the resources hold them.
#include <gtest/gtest.h>

#include "iconlib/formats/cursor_resources.h"
#include "iconlib/formats/module_source.h"
#include "pe_builder.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

struct Cursor {
  uint16_t id, x, y;
  Bytes dib;
};

Bytes CursorModule(const std::vector<Cursor>& cursors, const std::vector<uint16_t>& named) {
  std::vector<PeResource> r;
  std::vector<std::pair<uint16_t, Bytes>> entries;
  for (const Cursor& c : cursors)
    r.push_back({1, "", c.id, 0x0409, CursorResource(c.x, c.y, c.dib)});
  for (uint16_t id : named) {
    for (const Cursor& c : cursors) {
      if (c.id == id) entries.push_back({id, c.dib});
    }
    if (entries.empty() || entries.back().first != id) entries.push_back({id, MakeDib(8, 8, 1, 2)});
  }
  r.push_back({12, "POINTER", 0, 0x0409, GroupDirectoryOf(entries, true)});
  return BuildPe(r);
}

TEST(CursorResources, HotspotsAndImagesRoundTripThroughACursorFile) {
  const std::vector<Cursor> cursors = {{1, 3, 5, MakeDib(32, 32, 1, 2)},
                                       {2, 16, 31, MakeDib(48, 48, 4, 16)},
                                       {3, 0, 0, MakeDib(24, 24, 32, 0)}};
  const Bytes file = CursorModule(cursors, {1, 2, 3});
  auto m = OpenPortableModuleBytes(ByteSpan(file.data(), file.size()));
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->CountNames(kResourceTypeGroupCursor), 1u);
  CursorGroup group;
  ASSERT_EQ(ReadCursorGroupAt(*m, 0, 1 << 20, &group), GroupFailure::None);
  std::vector<uint8_t> cur;
  ASSERT_TRUE(BuildCursorFile(group, &cur));
  const Bytes bytes(cur.begin(), cur.end());
  EXPECT_EQ(LoadU16(bytes, 2), 2);  // a cursor file
  CursorGroup back;
  ASSERT_TRUE(ReadCursorFile(ByteSpan(cur.data(), cur.size()), &back));
  ASSERT_EQ(back.images.size(), cursors.size());
  for (size_t i = 0; i < cursors.size(); ++i) {
    const CursorImage& b = back.images[i];
    EXPECT_EQ(b.hotspotX, cursors[i].x) << i;
    EXPECT_EQ(b.hotspotY, cursors[i].y) << i;
    EXPECT_EQ(Bytes(b.image.data(), b.image.data() + b.image.size()), cursors[i].dib) << i;
    EXPECT_EQ(b.width, static_cast<int32_t>(LoadU32(cursors[i].dib, 4))) << i;
    EXPECT_EQ(b.height, b.width) << i;
    // The directory entry's byte sizes, as the file states them.
    EXPECT_EQ(bytes[6 + 16 * i], static_cast<uint8_t>(b.width)) << i;
    EXPECT_EQ(bytes[6 + 16 * i + 2], i == 0 ? 2 : i == 1 ? 16 : 0) << i;
  }
}

Bytes CutTo(Bytes b, size_t size) {
  b.resize(size);
  return b;
}

TEST(CursorResources, BrokenGroupsSayWhy) {
  const Bytes dib = MakeDib(16, 16, 1, 2);
  const struct {
    const char* what;
    Bytes file;
    uint64_t limit;
    GroupFailure why;
  } cases[] = {
      {"an image missing", CursorModule({{1, 1, 1, dib}}, {1, 9}), 1 << 20,
       GroupFailure::MissingImage},
      {"over the limit", CursorModule({{1, 1, 1, dib}}, {1, 1}), dib.size() + 1,
       GroupFailure::OverBudget},
      {"cursor shorter than its hotspot",
       BuildPe({{1, "", 1, 0x0409, Bytes{1, 0}},
                {12, "", 5, 0x0409, GroupDirectoryOf({{1, dib}}, true)}}),
       1 << 20, GroupFailure::MissingImage},
      {"directory cut short",
       BuildPe({{1, "", 1, 0x0409, CursorResource(1, 1, dib)},
                {12, "", 5, 0x0409, CutTo(GroupDirectoryOf({{1, dib}}, true), 12)}}),
       1 << 20, GroupFailure::CutShort},
  };
  for (const auto& c : cases) {
    auto m = OpenPortableModuleBytes(ByteSpan(c.file.data(), c.file.size()));
    ASSERT_NE(m, nullptr) << c.what;
    CursorGroup group;
    EXPECT_EQ(ReadCursorGroupAt(*m, 0, c.limit, &group), c.why) << c.what;
    EXPECT_TRUE(group.images.empty()) << c.what;
    EXPECT_EQ(ReadCursorGroupAt(*m, 1, c.limit, &group), GroupFailure::NotFound) << c.what;
  }
}

TEST(CursorResources, CursorFilesThatLieAreRefused) {
  CursorGroup g;
  g.images.resize(1);
  const Bytes dib = MakeDib(16, 16, 1, 2);
  g.images[0].image = ByteSpan(dib.data(), dib.size());
  std::vector<uint8_t> cur;
  ASSERT_TRUE(BuildCursorFile(g, &cur));
  Bytes b(cur.begin(), cur.end());
  CursorGroup out;
  ASSERT_TRUE(ReadCursorFile(ByteSpan(b.data(), b.size()), &out));
  PutU32(&b, 6 + 8, static_cast<uint32_t>(dib.size() + 1));  // one byte past the end
  EXPECT_FALSE(ReadCursorFile(ByteSpan(b.data(), b.size()), &out));
  PutU16(&b, 2, 1);  // an icon file
  EXPECT_FALSE(ReadCursorFile(ByteSpan(b.data(), b.size()), &out));
  const Bytes ani = AnimatedCursorBytes(7);
  EXPECT_TRUE(IsAnimatedCursorBytes(ByteSpan(ani.data(), ani.size())));
  EXPECT_FALSE(IsAnimatedCursorBytes(ByteSpan(b.data(), b.size())));
}

}  // namespace
}  // namespace vantorico

// The language a lookup takes, through the portable reader: one group name
// stored in several languages, each with an image of its own size, so the
// size read says which language the reader took.
#include <gtest/gtest.h>

#include "iconlib/formats/icon_group_reader.h"
#include "iconlib/formats/language_choice.h"
#include "iconlib/formats/module_source.h"
#include "pe_builder.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

// Language i of stored gets an image 8 * (i + 1) pixels wide.
Bytes ModuleInLanguages(const std::vector<uint16_t>& stored) {
  std::vector<PeResource> r;
  for (size_t i = 0; i < stored.size(); ++i) {
    const Bytes dib = MakeDib(static_cast<int32_t>(8 * (i + 1)), 8, 4, 16);
    r.push_back({14, "LOGO", 0, stored[i], GroupDirectoryOf({{1, dib}}, false)});
    r.push_back({3, "", 1, stored[i], dib});
  }
  return BuildPe(r);
}

// The language whose image the reader gives for the group.
int32_t WidthRead(const Bytes& file, const LanguageOrder* order) {
  auto m = OpenPortableModuleBytes(ByteSpan(file.data(), file.size()));
  if (!m) return -1;
  if (order) m->SetLanguageOrder(*order);
  GroupFailure why = GroupFailure::None;
  IconImageSetPtr set = ReadIconGroupAt(*m, 0, "m.dll", kMaxGroupImageBytes, &why);
  return set && set->imageCount == 1 ? set->images[0].width : -1;
}

TEST(LanguageChoice, TheLoadersOrderForAUserLanguage) {
  const struct {
    std::vector<uint16_t> stored;
    uint16_t user;
    uint16_t picked;
  } cases[] = {
      {{0x0409, 0x0804}, 0x0804, 0x0804},  // the user's language
      {{0x0804, 0x0409}, 0x0409, 0x0409},
      {{0x0409, 0x0804}, 0x0407, 0x0409},  // German: none of it, so English (US)
      {{0x0804, 0x0409}, 0, 0x0409},       // no user language: English (US)
      {{0x0804, 0x0411}, 0, 0x0804},       // nothing of the order: the first stored
      {{0x0411, 0x0804}, 0x0407, 0x0411},
      {{0x0804, 0x0000}, 0x0804, 0x0000},  // neutral before everything
      {{0x0409, 0x0004}, 0x0404, 0x0004},  // zh-TW user: Chinese with SUBLANG_NEUTRAL
      {{0x0809, 0x0C09}, 0x0409, 0x0809},  // en-GB, en-AU and an en-US user: first stored
      {{0x0C04, 0x0404}, 0x0404, 0x0404},
  };
  for (const auto& c : cases) {
    const LanguageOrder order = UserLanguageOrder(c.user);
    size_t want = 0;
    while (c.stored[want] != c.picked) ++want;
    EXPECT_EQ(WidthRead(ModuleInLanguages(c.stored), &order), static_cast<int32_t>(8 * (want + 1)))
        << "user " << LanguageIdText(c.user) << " picked " << LanguageIdText(c.picked);
  }
}

// A reader nobody sets an order on keeps the data-file order the window
// tool's path has always had: 0x0800 (system default) before English (US).
TEST(LanguageChoice, WithoutAnOrderTheDataFileOrderHolds) {
  EXPECT_EQ(WidthRead(ModuleInLanguages({0x0804, 0x0800, 0x0409}), nullptr), 16);
  EXPECT_EQ(WidthRead(ModuleInLanguages({0x0804, 0x0409}), nullptr), 16);
  EXPECT_EQ(WidthRead(ModuleInLanguages({0x0804, 0x0411}), nullptr), 8);
  // Setting an order after reads takes effect for the next ones.
  const Bytes file = ModuleInLanguages({0x0409, 0x0804});
  auto m = OpenPortableModuleBytes(ByteSpan(file.data(), file.size()));
  ASSERT_NE(m, nullptr);
  GroupFailure why;
  IconImageSetPtr before = ReadIconGroupAt(*m, 0, "m.dll", kMaxGroupImageBytes, &why);
  m->SetLanguageOrder(UserLanguageOrder(0x0804));
  IconImageSetPtr after = ReadIconGroupAt(*m, 0, "m.dll", kMaxGroupImageBytes, &why);
  ASSERT_TRUE(before && after);
  EXPECT_EQ(before->images[0].width, 8);
  EXPECT_EQ(after->images[0].width, 16);
}

TEST(LanguageChoice, LanguagesOfAGroupAndTheOneTaken) {
  const Bytes file = ModuleInLanguages({0x0409, 0x0804, 0x0411});
  auto m = OpenPortableModuleBytes(ByteSpan(file.data(), file.size()));
  ASSERT_NE(m, nullptr);
  m->SetLanguageOrder(UserLanguageOrder(0x0411));
  std::vector<uint16_t> stored;
  size_t chosen = 99;
  ASSERT_TRUE(m->LanguagesAt(14, 0, &stored, &chosen));
  EXPECT_EQ(stored, (std::vector<uint16_t>{0x0409, 0x0804, 0x0411}));
  EXPECT_EQ(chosen, 2u);
  EXPECT_FALSE(m->LanguagesAt(14, 1, &stored, &chosen));
  EXPECT_FALSE(m->LanguagesAt(12, 0, &stored, &chosen));
}

TEST(LanguageChoice, LocaleNames) {
  const struct {
    const char* locale;
    uint16_t language;
  } cases[] = {
      {"zh_CN.UTF-8", 0x0804},
      {"zh_CN", 0x0804},
      {"zh_TW.Big5", 0x0404},
      {"zh_HK", 0x0C04},
      {"zh", 0x0804},
      {"de_AT@euro", 0x0C07},
      {"de", 0x0407},
      {"fr_XX", 0x040C},
      {"en_US.UTF-8", 0x0409},
      {"en_GB", 0x0809},
      {"pt_BR", 0x0416},
      {"ja_JP.eucJP", 0x0411},
      {"C", 0},
      {"C.UTF-8", 0},
      {"POSIX", 0},
      {"", 0},
      {"xx_YY", 0},
      {"e", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(LanguageOfLocaleName(c.locale), c.language) << c.locale;
}

TEST(LanguageChoice, LanguageIdentifiersAsTyped) {
  const struct {
    const char* text;
    bool ok;
    uint16_t language;
  } cases[] = {{"0x0804", true, 0x0804}, {"0X804", true, 0x0804},  {"2052", true, 0x0804},
               {"0", true, 0},           {"0xffff", true, 0xFFFF}, {"65536", false, 0},
               {"0x10000", false, 0},    {"", false, 0},           {"0x", false, 0},
               {"zh-CN", false, 0},      {"-1", false, 0},         {"12a", false, 0}};
  for (const auto& c : cases) {
    uint16_t got = 0xABCD;
    EXPECT_EQ(ParseLanguageId(c.text, &got), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(got, c.language) << c.text;
    }
  }
  EXPECT_EQ(LanguageIdText(0x0804), "0x0804");
}

}  // namespace
}  // namespace vantorico

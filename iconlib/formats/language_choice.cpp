#include "iconlib/formats/language_choice.h"

#include <algorithm>
#include <cctype>

#include "base/number_text.h"

namespace vantorico {
namespace {

constexpr uint16_t kNeutral = 0x0000;
constexpr uint16_t kEnglishUs = 0x0409;
constexpr uint16_t kPrimaryMask = 0x03FF;

void AddOnce(uint16_t language, LanguageOrder* order) {
  if (std::find(order->begin(), order->end(), language) == order->end()) {
    order->push_back(language);
  }
}

struct LocaleLanguage {
  const char* name;
  uint16_t language;
};

// Languages by their ISO 639-1 code, with the sublanguage the system takes
// as the default; then the territories whose sublanguage differs.
constexpr LocaleLanguage kLanguages[] = {
    {"ar", 0x0401}, {"bg", 0x0402}, {"ca", 0x0403}, {"zh", 0x0804}, {"cs", 0x0405}, {"da", 0x0406},
    {"de", 0x0407}, {"el", 0x0408}, {"en", 0x0409}, {"es", 0x0C0A}, {"fi", 0x040B}, {"fr", 0x040C},
    {"he", 0x040D}, {"hu", 0x040E}, {"is", 0x040F}, {"it", 0x0410}, {"ja", 0x0411}, {"ko", 0x0412},
    {"nl", 0x0413}, {"nb", 0x0414}, {"no", 0x0414}, {"nn", 0x0814}, {"pl", 0x0415}, {"pt", 0x0416},
    {"ro", 0x0418}, {"ru", 0x0419}, {"hr", 0x041A}, {"sk", 0x041B}, {"sq", 0x041C}, {"sv", 0x041D},
    {"th", 0x041E}, {"tr", 0x041F}, {"ur", 0x0420}, {"id", 0x0421}, {"uk", 0x0422}, {"be", 0x0423},
    {"sl", 0x0424}, {"et", 0x0425}, {"lv", 0x0426}, {"lt", 0x0427}, {"fa", 0x0429}, {"vi", 0x042A},
    {"hy", 0x042B}, {"eu", 0x042D}, {"mk", 0x042F}, {"af", 0x0436}, {"ka", 0x0437}, {"hi", 0x0439},
    {"ms", 0x043E}, {"kk", 0x043F}, {"sw", 0x0441}, {"bn", 0x0445}, {"ta", 0x0449}, {"te", 0x044A},
    {"mr", 0x044E}, {"gl", 0x0456},
};
constexpr LocaleLanguage kTerritories[] = {
    {"zh_TW", 0x0404}, {"zh_CN", 0x0804}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"zh_MO", 0x1404},
    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409},
    {"en_IE", 0x1809}, {"en_ZA", 0x1C09}, {"en_IN", 0x4009}, {"de_DE", 0x0407}, {"de_CH", 0x0807},
    {"de_AT", 0x0C07}, {"de_LU", 0x1007}, {"fr_FR", 0x040C}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C},
    {"fr_CH", 0x100C}, {"fr_LU", 0x140C}, {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"es_AR", 0x2C0A},
    {"es_CO", 0x240A}, {"es_CL", 0x340A}, {"es_US", 0x540A}, {"it_IT", 0x0410}, {"it_CH", 0x0810},
    {"nl_NL", 0x0413}, {"nl_BE", 0x0813}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"sv_SE", 0x041D},
    {"sv_FI", 0x081D}, {"ko_KR", 0x0412}, {"ja_JP", 0x0411}, {"ru_RU", 0x0419}, {"ar_SA", 0x0401},
    {"ar_EG", 0x0C01},
};

}  // namespace

LanguageOrder DataFileLanguageOrder() {
  return {0x0000, 0x0400, 0x0800, kEnglishUs};
}

LanguageOrder UserLanguageOrder(uint16_t userLanguage) {
  LanguageOrder order;
  AddOnce(kNeutral, &order);
  if (userLanguage != 0) {
    AddOnce(userLanguage, &order);
    AddOnce(static_cast<uint16_t>(userLanguage & kPrimaryMask), &order);
  }
  AddOnce(kEnglishUs, &order);
  return order;
}

uint16_t LanguageOfLocaleName(const std::string& locale) {
  // "ll_CC.codeset@modifier": the codeset and modifier do not matter.
  std::string name = locale.substr(0, locale.find_first_of(".@"));
  if (name.size() < 2 || name == "C" || name == "POSIX") return 0;
  const size_t cut = name.find_first_of("_-");
  std::string language = name.substr(0, cut);
  for (char& c : language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (cut != std::string::npos) {
    std::string territory = name.substr(cut + 1);
    for (char& c : territory) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string key = language + "_" + territory;
    for (const LocaleLanguage& t : kTerritories) {
      if (key == t.name) return t.language;
    }
  }
  for (const LocaleLanguage& l : kLanguages) {
    if (language == l.name) return l.language;
  }
  return 0;
}

bool ParseLanguageId(const std::string& text, uint16_t* language) {
  if (text.empty()) return false;
  unsigned long value = 0;
  size_t i = 0;
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    i = 2;
  }
  for (; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    int digit;
    if (std::isdigit(c)) {
      digit = c - '0';
    } else if (base == 16 && std::isxdigit(c)) {
      digit = std::tolower(c) - 'a' + 10;
    } else {
      return false;
    }
    value = value * static_cast<unsigned long>(base) + static_cast<unsigned long>(digit);
    if (value > 0xFFFF) return false;
  }
  *language = static_cast<uint16_t>(value);
  return true;
}

std::string LanguageIdText(uint16_t language) {
  return "0x" + DigitsText(language, 16, 4, true);
}

}  // namespace vantorico

#pragma once
// Which language of a resource a lookup takes. A resource name may be stored
// in several languages; the reader takes the first language of an order
// that the name has, else the first one stored.
#include <cstdint>
#include <string>
#include <vector>

namespace vantorico {

using LanguageOrder = std::vector<uint16_t>;

// The order a data-file lookup of the platform loader tries when the thread
// asks for no language: neutral, neutral with the user's default
// sublanguage, with the system's, then English (US). The portable reader
// takes it unless told otherwise, so every caller that sets nothing (the
// window tool's call path) keeps it.
LanguageOrder DataFileLanguageOrder();

// The resource loader's documented order for a user language: neutral
// (0x0000), the user's language, its primary language with SUBLANG_NEUTRAL,
// English (US, 0x0409). A user language of 0 (unknown) gives neutral, then
// English (US). Duplicates are dropped. After the order, the first stored
// (the PE reader applies the order: pe_resource_reader.cpp).
LanguageOrder UserLanguageOrder(uint16_t userLanguage);

// A language identifier from a locale name as POSIX writes it
// ("zh_CN.UTF-8", "de_AT@euro", "fr"); 0 for "C", "POSIX", empty or unknown.
uint16_t LanguageOfLocaleName(const std::string& locale);

// "0x0804", "0X804" or "2052"; false for anything else or past 0xFFFF.
bool ParseLanguageId(const std::string& text, uint16_t* language);

// "0x0804".
std::string LanguageIdText(uint16_t language);

}  // namespace vantorico

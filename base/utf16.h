#pragma once
// UTF-8 and UTF-16, converted both ways by one rule for what is not
// well-formed: it becomes U+FFFD, one for each maximal ill-formed part (the
// Unicode Standard's recommended practice, which the system's own converters
// follow too). A conversion therefore never fails, never stops early and never
// lets a broken sequence through: a lone surrogate, an overlong or truncated
// sequence and anything above U+10FFFF all come out as U+FFFD. NUL is an
// ordinary character; lengths come from the views.
#include <cwchar>
#include <string>
#include <string_view>

namespace vantorico {

constexpr char32_t kReplacementCharacter = 0xFFFD;

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

#if WCHAR_MAX <= 0xFFFF
// Where wchar_t is a UTF-16 unit (Windows), the same for the system's wide API.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
#endif

}  // namespace vantorico

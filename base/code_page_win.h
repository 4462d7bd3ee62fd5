#pragma once
// Text in the ANSI code page (CP_ACP: GBK under code page 936), the window
// tool's own, and the system's wide text, converted both ways by the system.
// Characters the code page lacks come out as its default character.
#include <string>
#include <string_view>

namespace vantorico {

std::wstring CodePageToWide(std::string_view text);
std::string WideToCodePage(std::wstring_view wide);

}  // namespace vantorico

#include "base/code_page_win.h"

#include <windows.h>

namespace vantorico {

std::wstring CodePageToWide(std::string_view text) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], n);
  return wide;
}

std::string WideToCodePage(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string text(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &text[0], n, nullptr, nullptr);
  return text;
}

}  // namespace vantorico

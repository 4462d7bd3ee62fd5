#pragma once
// The Filter text ("description|pattern|...") as the system's filter list
// ("description\0pattern\0...\0\0").
#include <string>

namespace vantorico {

// Trailing blanks trimmed; an empty result means "no file-type list". Otherwise
// "||" is appended unless the text ends in it, and every '|' that stands as a
// character of its own becomes NUL (a GBK second byte 0x7C stays).
std::string ConvertFilter(const char* filter);

}  // namespace vantorico

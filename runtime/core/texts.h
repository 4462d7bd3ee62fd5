#pragma once
// Texts: NUL-terminated bytes in the ANSI code page; null is the empty text.
// A text a command returns belongs to the receiver, who frees it with FreeMemory.
#include <cstddef>

namespace vantorico {

// A new copy, or null for a null or empty string (nothing is allocated then).
char* NewText(const char* string);
// A new text of the first length bytes of string; null when length is 0.
char* NewTextOfLength(const char* string, size_t length);

size_t TextLength(const char* text);

// One allocation holding every part in order; never null.
char* ConcatTextArray(int count, const char* const* parts);

template <typename... Parts>
char* ConcatTexts(int count, Parts... parts) {
  const char* const array[] = {static_cast<const char*>(parts)..., nullptr};
  const int given = static_cast<int>(sizeof...(Parts));
  return ConcatTextArray(count < given ? count : given, array);
}

}  // namespace vantorico

#pragma once
// Whole numbers as text in base 8, 10 or 16, without the C library's
// printf: in the static Windows programs one snprintf brings in its whole
// formatter, floating point included (about 12 KB).
#include <cstddef>
#include <cstdint>
#include <string>

namespace vantorico {

// value's digits in base (2 to 16), at least width of them (zeros in
// front), letters in upper case when upper: printf's "%0*x" and the like.
inline std::string DigitsText(uint64_t value, unsigned base, size_t width = 1, bool upper = false) {
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  char reversed[64];
  size_t n = 0;
  do {
    reversed[n++] = digits[value % base];
    value /= base;
  } while (value != 0);
  std::string out(width > n ? width - n : 0, '0');
  while (n > 0) out += reversed[--n];
  return out;
}

}  // namespace vantorico

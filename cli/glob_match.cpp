#include "cli/glob_match.h"

#include <cctype>

namespace vantorico {
namespace {

char Fold(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Whether the set starting at pattern[p] ('[' already passed) holds c; *end
// is set past the closing ']'. A set without its ']' is a literal '['.
bool SetHolds(const std::string& pattern, size_t p, char c, size_t* end, bool* isSet) {
  bool negate = false;
  if (p < pattern.size() && (pattern[p] == '!' || pattern[p] == '^')) {
    negate = true;
    ++p;
  }
  bool hit = false;
  bool first = true;
  for (; p < pattern.size(); ++p) {
    if (pattern[p] == ']' && !first) {
      *end = p + 1;
      *isSet = true;
      return hit != negate;
    }
    first = false;
    if (p + 2 < pattern.size() && pattern[p + 1] == '-' && pattern[p + 2] != ']') {
      if (Fold(c) >= Fold(pattern[p]) && Fold(c) <= Fold(pattern[p + 2])) hit = true;
      p += 2;
    } else if (Fold(pattern[p]) == Fold(c)) {
      hit = true;
    }
  }
  *isSet = false;
  return false;
}

}  // namespace

bool GlobMatches(const std::string& pattern, const std::string& name) {
  // Iterative matching with one backtrack point for the last '*': linear
  // in practice, never exponential.
  size_t p = 0, n = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
      continue;
    }
    if (p < pattern.size()) {
      if (pattern[p] == '?') {
        ++p;
        ++n;
        continue;
      }
      if (pattern[p] == '[') {
        size_t end = 0;
        bool isSet = false;
        const bool holds = SetHolds(pattern, p + 1, name[n], &end, &isSet);
        if (isSet && holds) {
          p = end;
          ++n;
          continue;
        }
        if (!isSet && name[n] == '[') {
          ++p;
          ++n;
          continue;
        }
      } else if (Fold(pattern[p]) == Fold(name[n])) {
        ++p;
        ++n;
        continue;
      }
    }
    if (star == std::string::npos) return false;
    p = star + 1;
    n = ++resume;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace vantorico

#pragma once
// File-name patterns for --include: '*' any run of characters, '?' one,
// "[abc]" / "[a-z]" / "[!abc]" a set; ASCII letters match without case,
// since the files are mostly Windows ones.
#include <string>

namespace vantorico {

bool GlobMatches(const std::string& pattern, const std::string& name);

}  // namespace vantorico

#pragma once
// Names and paths as the command line prints them.
#include <string>

namespace vantorico {

// A JSON string: valid UTF-8 passes through; every other byte becomes the
// lone surrogate \udcXX (as Python's surrogateescape does), so no byte is lost.
std::string JsonString(const std::string& bytes);

// A quoted name for the text listing: quotes, backslashes and control
// characters are escaped, so a name never breaks the columns.
std::string QuotedText(const std::string& bytes);

}  // namespace vantorico

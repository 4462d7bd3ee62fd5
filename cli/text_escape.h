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

// A path or other text as the human output shows it (standard output and
// standard error alike): control characters (C0, DEL and, in UTF-8, C1) and
// bytes that are not UTF-8 become \t, \n, \r or an octal \NNN as ls -b
// writes them, so that no file name can move the cursor, retitle or clear
// the terminal, or break a line or a column. Everything else is as it is.
std::string ShownText(const std::string& bytes);

}  // namespace vantorico

#pragma once
// Paths as the command line puts them together and names them in messages.
#include <string>

namespace vantorico {

std::string Quote(const std::string& path);     // 'path'
std::string BaseName(const std::string& path);  // the leaf, trailing separators aside
std::string DirName(const std::string& path);   // up to and with the last separator, or empty
std::string Join(const std::string& dir, const std::string& leaf);

}  // namespace vantorico

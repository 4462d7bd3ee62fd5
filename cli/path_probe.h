#pragma once
// The little the command line needs to know about paths beyond the engine.
namespace vantorico {

bool IsDirectory(const char* path);
// Creates one directory; false when it cannot (the system's error says why).
bool MakeDirectory(const char* path);
// The separator the platform joins directory and file names with.
char PathSeparator();

}  // namespace vantorico

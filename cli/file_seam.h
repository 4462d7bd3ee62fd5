#pragma once
// The files the command line touches beyond the engine: what a path names,
// folders, and the engine's file seam (sources read whole, outputs replaced
// whole) with names held as UTF-8. On Windows every name goes through the
// wide API, so names outside the ANSI code page work; elsewhere names are
// the system's bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "iconlib/file_io.h"
#include "iconlib/system_error.h"

namespace vantorico {

enum class PathType { None, File, Directory, Other };

// What a path names, following links.
PathType TypeOfPath(const std::string& path);
// Creates one folder; false when it cannot (LastSystemError() says why).
bool MakeDirectory(const std::string& path);
// The separator the platform joins names with.
char PathSeparator();
// True for the separators the platform reads ('/', and '\\' on Windows).
bool IsSeparator(char c);

struct FolderEntry {
  std::string name;
  PathType type = PathType::Other;  // a link to a folder is Other: recursion never follows one
};
// The entries of a folder, sorted by name, without "." and "..".
bool ListFolder(const std::string& path, std::vector<FolderEntry>* entries, SystemError* error);

// The engine's seam under UTF-8 names.
SourceFile ReadSource(const std::string& path);
WriteOutcome WriteOutputWhole(const std::string& path, ByteSpan bytes, const FileIdentity* source);

// The system's text for an error, as UTF-8.
std::string ErrorText(const SystemError& error);

// The user's language from the environment: LC_ALL, LC_MESSAGES, then LANG
// on POSIX systems; the user's UI language on Windows. 0 when unknown.
uint16_t UserLanguageOfSystem();

}  // namespace vantorico

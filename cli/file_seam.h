#pragma once
// The files the command line touches beyond the engine: what a path names,
// folders, and the engine's file seam (sources read whole, outputs replaced
// whole) with names held as UTF-8. On Windows every name goes through the
// wide API, so names outside the ANSI code page work; elsewhere names are
// the system's bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "iconlib/formats/byte_source.h"
#include "iconlib/platform/file_io.h"
#include "iconlib/platform/system_error.h"

namespace vantorico {

enum class PathType { None, File, Directory, Other };

// What a path names, following links.
PathType TypeOfPath(const std::string& path);
// The size of the file a path names, following links; 0 when it cannot be
// learned.
uint64_t SizeOfFile(const std::string& path);
// The separator the platform joins names with.
char PathSeparator();
// True for the separators the platform reads ('/', and '\\' on Windows).
bool IsSeparator(char c);

// Creates a folder and every missing folder above it; false when it cannot
// (error says why).
bool MakeFolders(const std::string& path, SystemError* error);

// What a walk of a folder finds, in order: files to read (a link to a file
// is one), and what could not be reached (a folder that cannot be opened or
// read, an entry whose type cannot be learned), with the reason. Links to
// folders are not followed; devices, FIFOs and sockets are passed over.
struct WalkItem {
  std::string path;
  std::string name;     // the leaf
  bool reached = true;  // false: error says why path could not be reached
  bool folder = false;  // the unreached path is a folder
  SystemError error;
};
// Entries of each folder in name order; a subfolder's come at its place
// when recursive. On POSIX systems each folder is opened relative to its
// parent's descriptor, so no path length limits the depth.
void WalkFolder(const std::string& root, bool recursive, std::vector<WalkItem>* items);

// The folder's own path with every link, "." and ".." resolved; empty when
// it cannot be had.
std::string RealFolderPath(const std::string& path);
// True for a folder that is no link (nor junction) to one.
bool IsFolderNotLink(const std::string& path);

// The engine's seam under UTF-8 names: a source opened for range reads, a
// file read whole (a list of names), ReplaceFileWhole and CreateFileWhole.
OpenedBytes OpenSourceBytes(const std::string& path);
// Up to size bytes of standard input, as bytes, not text. It waits for
// bytes no longer than the calling thread's deadline (--timeout), so a pipe
// whose writer neither writes nor closes cannot hold the run.
struct [[nodiscard]] StandardInputRead {
  enum class Status { Bytes, End, Failed, TimedOut };
  Status status = Status::Failed;
  size_t got = 0;
};
StandardInputRead ReadFromStandardInput(uint8_t* buffer, size_t size);
SourceFile ReadSource(const std::string& path);
WriteOutcome WriteOutputWhole(const std::string& path, ByteSpan bytes, const FileIdentity* source);
WriteOutcome CreateOutputWhole(const std::string& path, ByteSpan bytes);

// The system's text for an error, as UTF-8.
std::string ErrorText(const SystemError& error);

// The user's language from the environment: LC_ALL, LC_MESSAGES, then LANG
// on POSIX systems; the user's UI language on Windows. 0 when unknown.
uint16_t UserLanguageOfSystem();

}  // namespace vantorico

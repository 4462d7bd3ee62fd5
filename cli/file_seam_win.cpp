// The command line's file seam on Windows: every name is UTF-8 inside and
// UTF-16 at the system's wide entry points, so names outside the ANSI code
// page open. Sources and outputs go through the engine's file layer
// (iconlib/platform/file_io_win.cpp), which takes UTF-8 names too.
#include <windows.h>

#include <algorithm>
#include <new>

#include "base/utf16.h"
#include "base/win_handles.h"
#include "cli/file_seam.h"
#include "iconlib/formats/deadline.h"

namespace vantorico {

PathType TypeOfPath(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES) return PathType::None;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathType::Directory;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return PathType::Other;
  return PathType::File;
}

uint64_t SizeOfFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path.empty() ||
      !GetFileAttributesExW(Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return 0;
  }
  return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool MakeFolders(const std::string& path, SystemError* error) {
  // Past a drive ("C:\") or a share ("\\server\share\"), folder by folder.
  size_t first = 0;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    size_t seps = 0;
    for (first = 2; first < path.size() && seps < 2; ++first) seps += IsSeparator(path[first]);
  } else if (path.size() >= 2 && path[1] == ':') {
    first = 2;
  }
  for (size_t end = first + 1; end <= path.size(); ++end) {
    if (end < path.size() && !IsSeparator(path[end])) continue;
    const std::string part = path.substr(0, end);
    if (IsSeparator(part.back()) || TypeOfPath(part) == PathType::Directory) continue;
    if (!CreateDirectoryW(Utf8ToWide(part).c_str(), nullptr) &&
        TypeOfPath(part) != PathType::Directory) {
      *error = LastSystemError();
      return false;
    }
  }
  return true;
}

char PathSeparator() {
  return '\\';
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

void WalkFolder(const std::string& root, bool recursive, std::vector<WalkItem>* items) {
  std::wstring pattern = Utf8ToWide(root);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  UniqueFind find(FindFirstFileW(pattern.c_str(), &data));
  if (!find) {
    const SystemError error = LastSystemError();
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return;  // an empty drive root
    WalkItem item;
    item.path = root;
    item.reached = false;
    item.folder = true;
    item.error = error;
    items->push_back(item);
    return;
  }
  struct Entry {
    std::string name;
    bool folder;
  };
  std::vector<Entry> entries;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    // A junction or link to a folder is not followed; a link to a file is a file.
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folder && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    entries.push_back({WideToUtf8(name), folder});
  } while (FindNextFileW(find.get(), &data));
  find.reset();  // before the walk goes down: one search open at a time
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });
  const std::string sep = root.empty() || IsSeparator(root.back()) ? "" : "\\";
  for (const Entry& e : entries) {
    const std::string full = root + sep + e.name;
    if (!e.folder) {
      items->push_back(WalkItem{full, e.name, true, false, SystemError{}});
    } else if (recursive) {
      WalkFolder(full, recursive, items);
    }
  }
}

std::string RealFolderPath(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path.empty() ? "." : path);
  const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return std::string();
  std::wstring full(n, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), n, &full[0], nullptr);
  if (got == 0 || got >= n) return std::string();
  full.resize(got);
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  return WideToUtf8(full);
}

bool IsFolderNotLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

OpenedBytes OpenSourceBytes(const std::string& path) {
  return OpenByteSource(path.c_str());
}

StandardInputRead ReadFromStandardInput(uint8_t* buffer, size_t size) {
  using Status = StandardInputRead::Status;
  // A pipe is read only once it holds bytes, looked at every few
  // milliseconds, so the deadline is seen soon after it passes; a file or a
  // console is read directly.
  constexpr DWORD kWaitMs = 5;
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (in == nullptr || in == INVALID_HANDLE_VALUE) return {Status::End, 0};
  if (GetFileType(in) == FILE_TYPE_PIPE) {
    for (;;) {
      if (PastDeadline()) return {Status::TimedOut, 0};
      DWORD available = 0;
      if (!PeekNamedPipe(in, nullptr, 0, nullptr, &available, nullptr)) {
        return {GetLastError() == ERROR_BROKEN_PIPE ? Status::End : Status::Failed, 0};
      }
      if (available) break;
      Sleep(kWaitMs);
    }
  }
  DWORD got = 0;
  if (!ReadFile(in, buffer, static_cast<DWORD>(std::min<size_t>(size, MAXDWORD / 2)), &got,
                nullptr)) {
    return {GetLastError() == ERROR_BROKEN_PIPE ? Status::End : Status::Failed, 0};
  }
  return {got ? Status::Bytes : Status::End, got};
}

SourceFile ReadSource(const std::string& path) {
  // Shared for reading, as a source is (one file named twice in a -j run).
  return ReadWholeSource(OpenByteSource(path.c_str()), MAXDWORD / 2);
}

WriteOutcome WriteOutputWhole(const std::string& path, ByteSpan bytes, const FileIdentity* source) {
  return ReplaceFileWhole(path.c_str(), bytes, source);
}

WriteOutcome CreateOutputWhole(const std::string& path, ByteSpan bytes) {
  return CreateFileWhole(path.c_str(), bytes);
}

std::string ErrorText(const SystemError& error) {
  return SystemErrorTextUtf8(error);
}

uint16_t UserLanguageOfSystem() {
  return GetUserDefaultUILanguage();
}

}  // namespace vantorico

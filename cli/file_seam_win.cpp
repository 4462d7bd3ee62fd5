// The command line's file seam on Windows: every name is UTF-8 inside and
// UTF-16 at the system's wide entry points, so names outside the ANSI code
// page open. The window tool keeps the engine's ANSI seam (file_io_win.cpp).
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include <algorithm>
#include <atomic>
#include <new>

#include "base/win_handles.h"
#include "cli/file_seam.h"
#include "iconlib/file_io_win.h"

namespace vantorico {
namespace {

constexpr int kTemporaryNameAttempts = 100;

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
  return out;
}

std::string Utf8(const wchar_t* wide, size_t length) {
  if (length == 0) return std::string();
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), &out[0], n, nullptr, nullptr);
  return out;
}

FileIdentity IdentityOfHandle(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return FileIdentity{};
  return FileIdentity{true, info.dwVolumeSerialNumber,
                      (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

bool IdentityOfWidePath(const std::wstring& path, FileIdentity* identity) {
  UniqueFile file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return false;
  *identity = IdentityOfHandle(file.get());
  return identity->known;
}

std::wstring TemporaryName(const std::wstring& path, int attempt) {
  static std::atomic<unsigned> counter{0};
  size_t cut = path.size();
  while (cut > 0 && path[cut - 1] != L'\\' && path[cut - 1] != L'/' && path[cut - 1] != L':') {
    --cut;
  }
  // The numbers are made as narrow text and widened: std::to_wstring would
  // bring the C library's whole wide printf into the static program.
  const std::string numbers = "." + std::to_string(GetCurrentProcessId()) + "-" +
                              std::to_string(counter++) + "-" + std::to_string(attempt) + ".tmp";
  return path.substr(0, cut) + L"~" + path.substr(cut) + Wide(numbers);
}

}  // namespace

PathType TypeOfPath(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES) return PathType::None;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathType::Directory;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return PathType::Other;
  return PathType::File;
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
    if (!CreateDirectoryW(Wide(part).c_str(), nullptr) && TypeOfPath(part) != PathType::Directory) {
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
  std::wstring pattern = Wide(root);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
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
    entries.push_back({Utf8(name.data(), name.size()), folder});
  } while (FindNextFileW(find, &data));
  FindClose(find);
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
  const std::wstring wide = Wide(path.empty() ? "." : path);
  const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return std::string();
  std::wstring full(n, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), n, &full[0], nullptr);
  if (got == 0 || got >= n) return std::string();
  full.resize(got);
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  return Utf8(full.data(), full.size());
}

bool IsFolderNotLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

OpenedBytes OpenSourceBytes(const std::string& path) {
  if (path.empty()) return OpenedBytes{};
  // Others may read the source meanwhile (one file named twice in a -j run), not change it.
  return ByteSourceOfHandle(
      UniqueFile(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

void SetStandardInputBinary() {
  _setmode(_fileno(stdin), _O_BINARY);
}

SourceFile ReadSource(const std::string& path) {
  return ReadWholeSource(OpenSourceBytes(path), MAXDWORD / 2);
}

namespace {

OutputNameHolder HolderOfWidePath(const std::wstring& path) {
  const UniqueFile name(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kOutputNameShare, nullptr,
                                    OPEN_EXISTING, kOutputNameOpenFlags, nullptr));
  return HolderOfOutputName(name.get());
}

// The bytes in a new temporary file beside target, closed.
bool Stage(const std::wstring& target, ByteSpan bytes, DWORD attributes, std::wstring* temporary,
           SystemError* error) {
  UniqueFile file;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && !file; ++attempt) {
    *temporary = TemporaryName(target, attempt);
    // CREATE_NEW: a name that exists (a file, a link) makes this attempt fail.
    file.reset(CreateFileW(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes,
                           nullptr));
    if (!file && !IsExistsError(GetLastError())) break;
  }
  if (!file) {
    *error = LastSystemError();
    return false;
  }
  const bool ok = WriteAllToFile(file.get(), bytes, error);
  file.reset();
  if (!ok) DeleteFileW(temporary->c_str());
  return ok;
}

WriteOutcome Place(const std::wstring& temporary, const std::wstring& target, bool replace) {
  WriteOutcome out;
  if (MoveFileExW(temporary.c_str(), target.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) {
    out.status = WriteOutcome::Written;
    return out;
  }
  const DWORD code = GetLastError();
  DeleteFileW(temporary.c_str());
  const OutputNameHolder holder = HolderOfWidePath(target);
  if ((!replace && IsExistsError(code)) || (holder.present && !holder.replaceable)) {
    return RefusalOfHolder(holder);
  }
  out.error = SystemErrorOf(static_cast<int>(code));
  return out;
}

}  // namespace

WriteOutcome WriteOutputWhole(const std::string& path, ByteSpan bytes, const FileIdentity* source) {
  WriteOutcome out;
  if (path.empty()) {
    out.error = SystemErrorOf(ERROR_PATH_NOT_FOUND);
    return out;
  }
  const std::wstring target = Wide(path);
  FileIdentity existing;
  if (source && IdentityOfWidePath(target, &existing) && SameFile(existing, *source)) {
    out.status = WriteOutcome::SameAsSource;
    return out;
  }
  const OutputNameHolder holder = HolderOfWidePath(target);
  if (!holder.replaceable) return RefusalOfHolder(holder);
  std::wstring temporary;
  if (!Stage(target, bytes, holder.keptAttributes, &temporary, &out.error)) return out;
  return Place(temporary, target, true);
}

WriteOutcome CreateOutputWhole(const std::string& path, ByteSpan bytes) {
  WriteOutcome out;
  if (path.empty()) {
    out.error = SystemErrorOf(ERROR_PATH_NOT_FOUND);
    return out;
  }
  const std::wstring target = Wide(path);
  const OutputNameHolder holder = HolderOfWidePath(target);
  if (holder.present) return RefusalOfHolder(holder);
  std::wstring temporary;
  if (!Stage(target, bytes, FILE_ATTRIBUTE_NORMAL, &temporary, &out.error)) return out;
  // Without MOVEFILE_REPLACE_EXISTING the move fails on a name that exists.
  return Place(temporary, target, false);
}

std::string ErrorText(const SystemError& error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error.code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string out;
  if (n && text) out = Utf8(text, n);
  if (text) LocalFree(text);
  while (!out.empty() && (out.back() == '\r' || out.back() == '\n' || out.back() == ' ')) {
    out.pop_back();
  }
  if (out.empty()) out = "error " + std::to_string(error.code);
  return out;
}

uint16_t UserLanguageOfSystem() {
  return GetUserDefaultUILanguage();
}

}  // namespace vantorico

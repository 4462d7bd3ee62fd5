#include <winternl.h>

#include <atomic>
#include <new>
#include <string>

#include "base/code_page_win.h"
#include "base/utf16.h"
#include "base/win_handles.h"
#include "iconlib/formats/byte_source.h"
#include "iconlib/platform/file_io.h"

namespace vantorico {
namespace {

constexpr int kTemporaryNameAttempts = 100;

// FileInternalInformation: the file index alone. GetFileInformationByHandle
// also fetches the volume's serial number, which under Wine means reading the
// device on every call (about a millisecond each); the index settles almost
// every comparison on its own.
constexpr auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);

bool IndexOfHandle(HANDLE file, uint64_t* index) {
  IO_STATUS_BLOCK io{};
  LARGE_INTEGER number{};
  if (NtQueryInformationFile(file, &io, &number, sizeof number, kFileInternalInformation) != 0) {
    return false;
  }
  *index = static_cast<uint64_t>(number.QuadPart);
  return true;
}

FileIdentity IdentityOfHandle(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return FileIdentity{};
  return FileIdentity{true, info.dwVolumeSerialNumber,
                      (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

// Paths come in as UTF-8 and go to the system's wide entry points, so names
// outside the ANSI code page open.
std::wstring Wide(const char* path) {
  return Utf8ToWide(path ? path : "");
}

// Attributes only, shared with everyone: asking must not disturb a holder.
UniqueFile OpenForAttributes(const std::wstring& path) {
  return UniqueFile(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// "~leaf.PID-N-ATTEMPT.tmp" beside path.
std::wstring TemporaryName(const std::wstring& path, int attempt) {
  static std::atomic<unsigned> counter{0};
  size_t cut = path.size();
  while (cut > 0 && path[cut - 1] != L'\\' && path[cut - 1] != L'/' && path[cut - 1] != L':') {
    --cut;
  }
  // The numbers are made as narrow text and widened: std::to_wstring would
  // bring the C library's whole wide printf into the static programs.
  const std::string numbers = "." + std::to_string(GetCurrentProcessId()) + "-" +
                              std::to_string(counter++) + "-" + std::to_string(attempt) + ".tmp";
  return path.substr(0, cut) + L"~" + path.substr(cut) + Utf8ToWide(numbers);
}

// Whether path names the source file: the index first, the volume only when
// the indexes agree.
bool NamesSource(const std::wstring& path, const FileIdentity& source) {
  if (!source.known) return false;
  UniqueFile file = OpenForAttributes(path);
  if (!file) return false;
  uint64_t index = 0;
  if (IndexOfHandle(file.get(), &index) && index != source.index) return false;
  return SameFile(IdentityOfHandle(file.get()), source);
}

// Positioned reads of an open file: ReadFile at an OVERLAPPED offset, which
// a synchronous handle honours without moving a shared file pointer.
class HandleSource final : public ByteSource {
 public:
  HandleSource(UniqueFile file, uint64_t size, const FileIdentity& id)
      : ByteSource(size, id), file_(std::move(file)) {}

 private:
  bool Fill(uint64_t offset, uint8_t* out, size_t length, SystemError* error) override {
    size_t done = 0;
    while (done < length) {
      const uint64_t at = offset + done;
      OVERLAPPED where{};
      where.Offset = static_cast<DWORD>(at);
      where.OffsetHigh = static_cast<DWORD>(at >> 32);
      const size_t left = length - done;
      const DWORD ask = left > MAXDWORD / 2 ? MAXDWORD / 2 : static_cast<DWORD>(left);
      DWORD got = 0;
      if (!ReadFile(file_.get(), out + done, ask, &got, &where)) {
        const DWORD code = GetLastError();
        *error = code == ERROR_HANDLE_EOF ? SystemError{} : SystemErrorOf(code);
        return false;
      }
      if (got == 0) return false;  // the file ends early: it shrank
      done += got;
    }
    return true;
  }

  UniqueFile file_;
};

// A source over a file opened for reading: a disk file read by range, with
// its size and identity as they are now. An invalid handle gives Missing with
// the thread's last error.
OpenedBytes ByteSourceOfHandle(UniqueFile file) {
  OpenedBytes out;
  if (!file) {
    out.error = LastSystemError();
    return out;
  }
  if (GetFileType(file.get()) != FILE_TYPE_DISK) {
    out.status = OpenStatus::NotRegularFile;
    return out;
  }
  LARGE_INTEGER li;
  if (!GetFileSizeEx(file.get(), &li)) {
    out.status = OpenStatus::ReadFailed;
    out.error = LastSystemError();
    return out;
  }
  const FileIdentity id = IdentityOfHandle(file.get());
  out.source.reset(new (std::nothrow)
                       HandleSource(std::move(file), static_cast<uint64_t>(li.QuadPart), id));
  out.status = out.source ? OpenStatus::Opened : OpenStatus::NoMemory;
  return out;
}

// What has an output's name, from a handle opened on the name itself; an
// invalid handle means nothing does.
struct OutputNameHolder {
  bool present = false;
  bool replaceable = true;  // a file on a disk, or a link to one
  // Attributes the output takes over from a file it replaces (hidden,
  // system, archive, not indexed), else FILE_ATTRIBUTE_NORMAL.
  DWORD keptAttributes = FILE_ATTRIBUTE_NORMAL;
};

OutputNameHolder HolderOfOutputName(HANDLE name) {
  OutputNameHolder h;
  if (name == INVALID_HANDLE_VALUE || name == nullptr) return h;
  h.present = true;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(name) != FILE_TYPE_DISK || !GetFileInformationByHandle(name, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    h.replaceable = false;
    return h;
  }
  const DWORD kept =
      info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  // A link is replaced as itself; its own attributes say nothing of the output.
  if (kept && !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) h.keptAttributes = kept;
  return h;
}

WriteOutcome RefusalOfHolder(const OutputNameHolder& holder) {
  WriteOutcome out;
  out.status = holder.replaceable ? WriteOutcome::Exists : WriteOutcome::NotRegularFile;
  out.error = SystemErrorOf(ERROR_ALREADY_EXISTS);
  return out;
}

bool WriteAllToFile(HANDLE file, ByteSpan bytes, SystemError* error) {
  DWORD written = 0;
  const bool ok = bytes.size() <= MAXDWORD &&
                  (bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                              &written, nullptr)) &&
                  written == bytes.size();
  *error = ok ? SystemError{} : LastSystemError();
  if (!ok && error->kind == ErrorKind::None) *error = SystemErrorOf(ERROR_DISK_FULL);
  return ok;
}

bool IsExistsError(DWORD error) {
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

}  // namespace

OpenedBytes OpenByteSource(const char* path) {
  if (!path || !*path) return OpenedBytes{};
  // Others may read the file while it is open, but not change it.
  return ByteSourceOfHandle(
      UniqueFile(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

std::string EnginePathOfCodePageText(const char* text) {
  if (!text) return std::string();
  return WideToUtf8(CodePageToWide(text));
}

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && a.device == b.device && a.index == b.index;
}

bool StampOfPath(const char* path, FileStamp* stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!path || !GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  stamp->size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  stamp->modified = static_cast<int64_t>((uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                         data.ftLastWriteTime.dwLowDateTime);
  return true;
}

bool IdentityOfPath(const char* path, FileIdentity* identity) {
  if (!path) return false;
  UniqueFile file = OpenForAttributes(Wide(path));
  if (!file) return false;
  *identity = IdentityOfHandle(file.get());
  return identity->known;
}

SourceFile ReadSourceFile(const char* path) {
  if (!path || !*path) return SourceFile{};
  // Read whole, without sharing: nobody changes it meanwhile.
  return ReadWholeSource(
      ByteSourceOfHandle(UniqueFile(CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))),
      MAXDWORD / 2);
}

namespace {

// What holds an output's name: opened on the name itself, shared with
// everyone, a link or junction as itself.
OutputNameHolder HolderOfPath(const std::wstring& path) {
  const UniqueFile name(CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  return HolderOfOutputName(name.get());
}

// The bytes in a new temporary file beside path, closed.
bool Stage(const std::wstring& path, ByteSpan bytes, DWORD attributes, std::wstring* temporary,
           SystemError* error) {
  UniqueFile file;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && !file; ++attempt) {
    *temporary = TemporaryName(path, attempt);
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

// Moves the temporary file to path (replacing or not); removes it on failure.
WriteOutcome Place(const std::wstring& temporary, const std::wstring& path, bool replace) {
  WriteOutcome out;
  if (MoveFileExW(temporary.c_str(), path.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) {
    out.status = WriteOutcome::Written;
    return out;
  }
  const DWORD code = GetLastError();
  DeleteFileW(temporary.c_str());
  const OutputNameHolder holder = HolderOfPath(path);
  if ((!replace && IsExistsError(code)) || (holder.present && !holder.replaceable)) {
    return RefusalOfHolder(holder);
  }
  out.error = SystemErrorOf(static_cast<int>(code));
  return out;
}

}  // namespace

WriteOutcome ReplaceFileWhole(const char* path, ByteSpan bytes, const FileIdentity* source) {
  WriteOutcome out;
  if (!path || !*path) {
    out.error = SystemErrorOf(ERROR_PATH_NOT_FOUND);
    return out;
  }
  const std::wstring target = Wide(path);
  if (source && NamesSource(target, *source)) {
    out.status = WriteOutcome::SameAsSource;
    return out;
  }
  const OutputNameHolder holder = HolderOfPath(target);
  if (!holder.replaceable) return RefusalOfHolder(holder);
  std::wstring temporary;
  if (!Stage(target, bytes, holder.keptAttributes, &temporary, &out.error)) return out;
  return Place(temporary, target, true);
}

WriteOutcome CreateFileWhole(const char* path, ByteSpan bytes) {
  WriteOutcome out;
  if (!path || !*path) {
    out.error = SystemErrorOf(ERROR_PATH_NOT_FOUND);
    return out;
  }
  const std::wstring target = Wide(path);
  const OutputNameHolder holder = HolderOfPath(target);
  if (holder.present) return RefusalOfHolder(holder);
  std::wstring temporary;
  if (!Stage(target, bytes, FILE_ATTRIBUTE_NORMAL, &temporary, &out.error)) return out;
  // MoveFileEx without MOVEFILE_REPLACE_EXISTING fails on a name that exists.
  return Place(temporary, target, false);
}

}  // namespace vantorico

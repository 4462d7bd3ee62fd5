// vantorico-thumbnailer -s SIZE INPUT OUTPUT
// A freedesktop thumbnailer: the PNG of the first icon group of a program
// file (PE or NE), or of an icon or cursor file.
//
// File managers run it on every file a user downloads, so the work on the
// input happens in a worker process that is confined before it reads a byte
// of it (confinement.h). This process opens both files, starts the worker,
// and afterwards leaves no picture behind when the worker did not finish.
// Exit status (the manual page says the same):
//   0 written; 1 the file has no icon that can be shown; 2 a usage error, or
//   the input or output refused or failing; 3 the worker was stopped by a
//   limit or by the system call filter.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include <vantorico_version.h>

#include "iconlib/images/thumbnail_pipeline.h"
#include "thumbnailer/confinement.h"
#include "thumbnailer/group_loader.h"
#include "thumbnailer/thumbnail_files.h"
#include "thumbnailer/thumbnailer_limits.h"

#ifdef VANTORICO_THUMBNAILER_PROBE
#include <fcntl.h>

#include <vector>
#endif

namespace vantorico {
namespace {

constexpr int kExitWritten = 0;
constexpr int kExitNoIcon = 1;
constexpr int kExitUsage = 2;
constexpr int kExitStopped = 3;

constexpr const char kProgram[] = "vantorico-thumbnailer";

const char kUsage[] =
    "usage: vantorico-thumbnailer -s SIZE INPUT OUTPUT\n"
    "Writes OUTPUT, a PNG of at most SIZE x SIZE pixels: the icon of INPUT, a\n"
    "Windows program (EXE, DLL, ...), icon or cursor file. An icon smaller than\n"
    "SIZE is written at its own size.\n"
    "  -h, --help     this text\n"
    "  -V, --version  the version\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

bool ParseSize(const char* text, uint32_t* size) {
  char* end = nullptr;
  errno = 0;
  const unsigned long v = std::strtoul(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || text[0] < '0' || text[0] > '9' || v == 0 ||
      v > kMaxThumbnailSize) {
    return false;
  }
  *size = static_cast<uint32_t>(v);
  return true;
}

const char* InputStatusText(InputStatus status) {
  switch (status) {
    case InputStatus::Opened:
      return "opened";
    case InputStatus::Missing:
      return "no such file";
    case InputStatus::Unreadable:
      return "cannot be read";
    case InputStatus::NotRegularFile:
      return "not a regular file";
  }
  return "unknown";
}

#ifdef VANTORICO_THUMBNAILER_PROBE
// A test build only: the worker shows what its confinement is, as the
// system reports it, then makes the call VANTORICO_PROBE_CALL names. Both
// /proc files are opened before confinement and read after it (procfs
// writes them at each read).
struct Probe {
  int status = -1;
  int limits = -1;
  const char* call = nullptr;

  void Open() {
    status = open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    limits = open("/proc/self/limits", O_RDONLY | O_CLOEXEC);
    call = std::getenv("VANTORICO_PROBE_CALL");
  }
  static void Show(int fd) {
    char text[8192];
    const ssize_t n = pread(fd, text, sizeof text, 0);
    if (n > 0) (void)!write(STDOUT_FILENO, text, static_cast<size_t>(n));
  }
  void Run() const {
    Show(status);
    Show(limits);
    if (!call) return;
    if (std::strcmp(call, "spin") == 0) {
      // Until the CPU time limit ends it.
      for (volatile uint64_t i = 0;; i = i + 1) {
      }
    }
    if (std::strcmp(call, "abort") == 0) {
      // A failed check: the worker must die of SIGABRT, not of the filter.
      std::abort();
    }
    if (std::strcmp(call, "allocate") == 0) {
      // Past the address-space limit: std::bad_alloc.
      std::vector<uint8_t> block(kThumbnailerAddressSpaceBytes, 1);
      std::fprintf(stderr, "probe: %zu bytes allocated\n", block.size());
      return;
    }
    if (std::strcmp(call, "open") == 0) {
      (void)open("/etc/hostname", O_RDONLY | O_CLOEXEC);
    } else if (std::strcmp(call, "execve") == 0) {
      char* const argv[] = {const_cast<char*>("/bin/true"), nullptr};
      execve(argv[0], argv, environ);
    }
    std::fputs("probe: the forbidden call returned\n", stderr);
  }
};
#endif

// The worker: everything that touches the input's bytes.
int RunWorker(const OpenedInput& input, const InPlaceOutput& output, uint32_t size,
              const char* name, pid_t parent) {
#ifdef VANTORICO_THUMBNAILER_PROBE
  Probe probe;
  probe.Open();
#endif
  // Ends with the parent: nobody would read its picture.
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) return kExitStopped;
  const ConfinementReport confined = ConfineWorker();
  if (!confined.problems.empty()) {
    std::fprintf(stderr, "%s: %s\n", kProgram, confined.problems.c_str());
  }
  try {
#ifdef VANTORICO_THUMBNAILER_PROBE
    probe.Run();
#endif
    const ThumbnailImages loaded = LoadFirstGroupImages(input.fd.get(), name, size);
    if (loaded.status != LoadStatus::Loaded) {
      std::fprintf(stderr, "%s: %s: %s%s%s\n", kProgram, name, LoadStatusText(loaded.status),
                   loaded.error.code ? ": " : "",
                   loaded.error.code ? SystemErrorText(loaded.error).c_str() : "");
      return loaded.status == LoadStatus::ReadFailed || loaded.status == LoadStatus::NotRegularFile
                 ? kExitUsage
                 : kExitNoIcon;
    }
    const Thumbnail thumbnail =
        MakeThumbnail(loaded.images, size, BlankImages::Refuse, SmallImages::KeepSize);
    if (!thumbnail.ok()) {
      std::fprintf(stderr, "%s: %s: %s\n", kProgram, name, ThumbnailErrorName(thumbnail.error));
      return thumbnail.error == ThumbnailError::EncodeFailed ? kExitUsage : kExitNoIcon;
    }
    SystemError error;
    if (!output.WriteWhole(ByteSpan(thumbnail.png.data(), thumbnail.png.size()), &error)) {
      std::fprintf(stderr, "%s: cannot write the picture: %s\n", kProgram,
                   SystemErrorText(error).c_str());
      return kExitUsage;
    }
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: %s: more memory than the limit allows\n", kProgram, name);
    return kExitNoIcon;
  }
  return kExitWritten;
}

// What ended a worker that did not exit by itself.
std::string StopReason(int signal) {
  const char* abbrev = sigabbrev_np(signal);
  const std::string sig = abbrev ? std::string("SIG") + abbrev : std::to_string(signal);
  switch (signal) {
    case SIGXCPU:
    case SIGKILL:
      return sig + ", the CPU time limit";
    case SIGALRM:
      return sig + ", the time limit";
    case SIGSYS:
      return sig + ", a system call the filter forbids";
    default:
      return sig;
  }
}

int Run(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return std::fflush(stdout) == 0 ? kExitWritten : kExitUsage;
  }
  if (argc == 2 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-V") == 0)) {
    std::printf("%s %s\n", kProgram, VANTORICO_VERSION);
    return std::fflush(stdout) == 0 ? kExitWritten : kExitUsage;
  }
  if (argc != 5 || std::strcmp(argv[1], "-s") != 0) return Usage();
  uint32_t size = 0;
  if (!ParseSize(argv[2], &size)) return Usage();
  const char* name = argv[3];

  const OpenedInput input = OpenInput(name);
  if (input.status != InputStatus::Opened) {
    std::fprintf(stderr, "%s: %s: %s%s%s\n", kProgram, name, InputStatusText(input.status),
                 input.error.code ? ": " : "",
                 input.error.code ? SystemErrorText(input.error).c_str() : "");
    return kExitUsage;
  }
  OpenedOutput opened = InPlaceOutput::Open(argv[4], input.identity);
  if (opened.status != OutputStatus::Opened) {
    std::fprintf(stderr, "%s: %s %s%s%s; nothing written\n", kProgram, argv[4],
                 OutputStatusText(opened.status), opened.error.code ? ": " : "",
                 opened.error.code ? SystemErrorText(opened.error).c_str() : "");
    return kExitUsage;
  }
  InPlaceOutput& output = opened.output;

  std::fflush(nullptr);
  const pid_t parent = getpid();
  const pid_t worker = fork();
  if (worker == 0) _exit(RunWorker(input, output, size, name, parent));
  int status = 0;
  if (worker < 0) {
    std::fprintf(stderr, "%s: cannot start the worker: %s\n", kProgram, std::strerror(errno));
    status = -1;
  } else {
    while (waitpid(worker, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (worker > 0 && WIFEXITED(status) && WEXITSTATUS(status) == kExitWritten) {
    SystemError error;
    if (output.Close(&error)) return kExitWritten;
    std::fprintf(stderr, "%s: cannot write %s: %s\n", kProgram, argv[4],
                 SystemErrorText(error).c_str());
    output.Discard();
    return kExitUsage;
  }
  output.Discard();
  if (worker > 0 && WIFSIGNALED(status)) {
    std::fprintf(stderr, "%s: %s: stopped (%s); nothing written\n", kProgram, name,
                 StopReason(WTERMSIG(status)).c_str());
    return kExitStopped;
  }
  return worker > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : kExitUsage;
}

}  // namespace
}  // namespace vantorico

int main(int argc, char** argv) {
  return vantorico::Run(argc, argv);
}

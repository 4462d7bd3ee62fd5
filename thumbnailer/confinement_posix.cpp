#include <seccomp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>

#include "thumbnailer/confinement.h"
#include "thumbnailer/thumbnailer_limits.h"

namespace vantorico {
namespace {

void AddProblem(std::string* problems, const std::string& what) {
  if (!problems->empty()) *problems += "; ";
  *problems += what;
}

// Lowers a limit to value (soft) and hardValue (hard), never raising one the
// caller already set lower.
void SetLimit(int resource, const char* name, rlim_t value, rlim_t hardValue,
              std::string* problems) {
  struct rlimit now;
  if (getrlimit(resource, &now) != 0) now.rlim_cur = now.rlim_max = RLIM_INFINITY;
  struct rlimit want;
  want.rlim_max =
      now.rlim_max == RLIM_INFINITY || hardValue < now.rlim_max ? hardValue : now.rlim_max;
  want.rlim_cur = value < want.rlim_max ? value : want.rlim_max;
  if (setrlimit(resource, &want) != 0) {
    AddProblem(problems, std::string("cannot set ") + name + ": " + std::strerror(errno));
  }
}

void SetLimits(std::string* problems) {
#if defined(__SANITIZE_ADDRESS__)
  // AddressSanitizer reserves terabytes of shadow address space: a sanitizer
  // build runs without the address-space limit (the others still hold).
#else
  SetLimit(RLIMIT_AS, "RLIMIT_AS", kThumbnailerAddressSpaceBytes, kThumbnailerAddressSpaceBytes,
           problems);
#endif
  // SIGXCPU at the soft limit, SIGKILL at the hard one a second later.
  SetLimit(RLIMIT_CPU, "RLIMIT_CPU", kThumbnailerCpuSeconds, kThumbnailerCpuSeconds + 1, problems);
  SetLimit(RLIMIT_FSIZE, "RLIMIT_FSIZE", kThumbnailerMaxOutputBytes, kThumbnailerMaxOutputBytes,
           problems);
  // A worker stopped by a limit leaves no core file of its address space.
  SetLimit(RLIMIT_CORE, "RLIMIT_CORE", 0, 0, problems);
  // Past the output limit a write fails with EFBIG instead of killing.
  signal(SIGXFSZ, SIG_IGN);
  // A worker that waits instead of computing (a stalled network file
  // system) ends by SIGALRM.
  alarm(kThumbnailerWallSeconds);
}

// The filter: the default action kills the process; each allowed call says
// what needs it. Calls whose arguments are worth checking are added apart.
int InstallFilter() {
  // Kernels before 4.14 can kill only the calling thread: the worker has one.
  scmp_filter_ctx ctx = seccomp_init(SCMP_ACT_KILL_PROCESS);
  if (!ctx) ctx = seccomp_init(SCMP_ACT_KILL);
  if (!ctx) return -EOPNOTSUPP;
  // The kernel's own error when it refuses the filter, not ECANCELED.
  (void)seccomp_attr_set(ctx, SCMP_FLTATR_API_SYSRAWRC, 1);
  int rc = 0;
  for (const int call : {
           SCMP_SYS(pread64),         // the input, from offset 0
           SCMP_SYS(pwrite64),        // the picture, from offset 0
           SCMP_SYS(ftruncate),       // the output cut to the picture's length
           SCMP_SYS(write),           // messages on stderr
           SCMP_SYS(newfstatat),      // fstat of the input, as glibc makes it
           SCMP_SYS(brk),             // the heap
           SCMP_SYS(munmap),          // freeing large blocks
           SCMP_SYS(mremap),          // growing large blocks
           SCMP_SYS(madvise),         // huge pages for the input, memory given back
           SCMP_SYS(futex),           // the C and C++ libraries' locks
           SCMP_SYS(rt_sigprocmask),  // abort() after a failed check
           SCMP_SYS(getpid),          // abort(): the signal's target
           SCMP_SYS(gettid),          // the same
           SCMP_SYS(exit),            // the end of a thread
           SCMP_SYS(exit_group),      // the end of every run
       }) {
    if ((rc = seccomp_rule_add(ctx, SCMP_ACT_ALLOW, call, 0)) != 0) break;
  }
#if defined(__SANITIZE_ADDRESS__)
  // Sanitizer builds only: AddressSanitizer tells readable memory by
  // writing it into a pipe it then closes, and drops its signal stack at
  // the end.
  for (const int call : {SCMP_SYS(pipe2), SCMP_SYS(close), SCMP_SYS(sigaltstack)}) {
    if (rc == 0) rc = seccomp_rule_add(ctx, SCMP_ACT_ALLOW, call, 0);
  }
#endif
  // Memory for allocations, never executable: a decoder bug cannot map or
  // turn data into code.
  if (rc == 0) {
    rc = seccomp_rule_add(ctx, SCMP_ACT_ALLOW, SCMP_SYS(mmap), 1,
                          SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0));
  }
  if (rc == 0) {
    rc = seccomp_rule_add(ctx, SCMP_ACT_ALLOW, SCMP_SYS(mprotect), 1,
                          SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0));
  }
  // abort() raising SIGABRT at itself, and nothing else at anyone.
  if (rc == 0) {
    rc = seccomp_rule_add(ctx, SCMP_ACT_ALLOW, SCMP_SYS(tgkill), 2,
                          SCMP_A0(SCMP_CMP_EQ, static_cast<scmp_datum_t>(getpid())),
                          SCMP_A2(SCMP_CMP_EQ, SIGABRT));
  }
  if (rc == 0) rc = seccomp_load(ctx);
  seccomp_release(ctx);
  return rc;
}

}  // namespace

ConfinementReport ConfineWorker() {
  ConfinementReport report;
  SetLimits(&report.problems);
  const int rc = InstallFilter();
  if (rc != 0) {
    AddProblem(&report.problems, std::string("seccomp unavailable (") + std::strerror(-rc) +
                                     "): running with the resource limits only");
  }
  return report;
}

}  // namespace vantorico

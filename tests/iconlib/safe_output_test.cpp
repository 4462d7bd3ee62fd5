// Outputs replace their files whole or not at all, never through a link and
// never over the source; sources are read whole, so a source that changes
// after it was opened cannot hurt the reader. Faults of the environment are
// real: a small tmpfs, a read-only mount, a FIFO, a second writer.
#include <gtest/gtest.h>
#include <sys/fanotify.h>
#include <sys/wait.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include <atomic>
#include <filesystem>
#include <thread>

#include "iconlib/platform/file_io.h"
#include "iconlib/formats/icon_source.h"
#include "pe_builder.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

WriteOutcome Replace(const std::string& path, const Bytes& bytes,
                     const FileIdentity* source = nullptr) {
  return ReplaceFileWhole(path.c_str(), ByteSpan(bytes.data(), bytes.size()), source);
}

Bytes Contents(const std::string& path) {
  Bytes b;
  EXPECT_TRUE(ReadWholeFile(path, &b)) << path;
  return b;
}

TEST(SafeOutput, AFullDiskKeepsThePreviousFileWhole) {
  SmallTmpfs disk("safe_full", 64 * 1024);
  VANTORICO_REQUIRE_INPUT(disk.mounted(), "needs root to mount a tmpfs");
  const std::string out = disk.path() + "/1.ico";
  const Bytes previous(1000, 'p');
  ASSERT_TRUE(Replace(out, previous));
  const WriteOutcome w = Replace(out, Bytes(200 * 1024, 'n'));
  EXPECT_EQ(w.status, WriteOutcome::Failed);
  EXPECT_EQ(w.error.kind, ErrorKind::DiskFull);
  EXPECT_EQ(Contents(out), previous);
  EXPECT_EQ(ListFolder(disk.path()), std::vector<std::string>{"1.ico"});
  // The space the failed write took is free again.
  EXPECT_TRUE(Replace(out, Bytes(40 * 1024, 'm')));
}

TEST(SafeOutput, AReadOnlyFolderFailsAndLeavesItsFiles) {
  SmallTmpfs disk("safe_readonly", 64 * 1024);
  VANTORICO_REQUIRE_INPUT(disk.mounted(), "needs root to mount a tmpfs");
  const std::string out = disk.path() + "/2.ico";
  ASSERT_TRUE(Replace(out, Bytes(10, 'p')));
  ASSERT_TRUE(disk.MakeReadOnly());
  const WriteOutcome w = Replace(out, Bytes(10, 'n'));
  EXPECT_EQ(w.status, WriteOutcome::Failed);
  EXPECT_EQ(w.error.kind, ErrorKind::AccessDenied);
  EXPECT_EQ(Contents(out), Bytes(10, 'p'));
}

TEST(SafeOutput, ALinkAtTheNameIsReplacedNotFollowed) {
  ScratchDir dir("safe_link");
  const std::string victim = dir.Path("victim"), out = dir.Path("1.ico");
  ASSERT_TRUE(WriteWholeFile(victim, Bytes(5, 'v')));
  ASSERT_EQ(symlink(victim.c_str(), out.c_str()), 0);
  ASSERT_TRUE(Replace(out, Bytes(7, 'n')));
  EXPECT_EQ(Contents(victim), Bytes(5, 'v'));
  struct stat st;
  ASSERT_EQ(lstat(out.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(Contents(out), Bytes(7, 'n'));
}

TEST(SafeOutput, TheSourceIsNeverWrittenByAnyOfItsNames) {
  ScratchDir dir("safe_source");
  const std::string source = dir.Path("source.ico");
  ASSERT_TRUE(WriteWholeFile(source, Bytes(9, 's')));
  ASSERT_EQ(link(source.c_str(), dir.Path("hard.ico").c_str()), 0);
  ASSERT_EQ(symlink(source.c_str(), dir.Path("soft.ico").c_str()), 0);
  FileIdentity id;
  ASSERT_TRUE(IdentityOfPath(source.c_str(), &id));
  for (const char* leaf : {"source.ico", "hard.ico", "soft.ico"}) {
    EXPECT_EQ(Replace(dir.Path(leaf), Bytes(3, 'n'), &id).status, WriteOutcome::SameAsSource)
        << leaf;
  }
  EXPECT_EQ(Contents(source), Bytes(9, 's'));
  EXPECT_TRUE(Replace(dir.Path("other.ico"), Bytes(3, 'n'), &id));
}

TEST(SafeOutput, ConcurrentWritersLeaveOneWholeFileAndNoTemporaries) {
  ScratchDir dir("safe_concurrent");
  const std::string out = dir.Path("1.ico");
  const Bytes a(100 * 1024, 'a'), b(60 * 1024, 'b');
  ASSERT_TRUE(Replace(out, a));
  std::atomic<bool> done{false};
  std::atomic<int> failures{0}, torn{0};
  auto writer = [&](const Bytes& content) {
    for (int i = 0; i < 200; ++i) {
      if (!Replace(out, content)) ++failures;
    }
  };
  std::thread reader([&] {
    while (!done) {
      Bytes seen;
      if (ReadWholeFile(out, &seen) && seen != a && seen != b) ++torn;
    }
  });
  std::thread first(writer, a), second(writer, b);
  first.join();
  second.join();
  done = true;
  reader.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(torn, 0);
  EXPECT_EQ(ListFolder(dir.Path("")), std::vector<std::string>{"1.ico"});
}

// Nothing but a regular file (or a link, replaced as itself) is replaced:
// a device node made here with mknod, a FIFO, a socket and a folder at the
// name are each refused with their own status, stay what they were, and no
// temporary file is left. The no-replace write refuses them the same way.
TEST(SafeOutput, OnlyARegularFileIsEverReplaced) {
  VANTORICO_REQUIRE_INPUT(geteuid() == 0, "needs root to make a device node");
  ScratchDir dir("safe_not_regular");
  const std::string device = dir.Path("null.ico"), fifo = dir.Path("fifo.ico"),
                    socket_path = dir.Path("socket.ico"), folder = dir.Path("folder.ico");
  ASSERT_EQ(mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);  // what /dev/null is
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socket_path.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, socket_path.c_str(), socket_path.size() + 1);
  ASSERT_EQ(bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_TRUE(MakeDirectoryForTest(folder));
  const struct {
    const std::string& path;
    mode_t type;
  } cases[] = {{device, S_IFCHR}, {fifo, S_IFIFO}, {socket_path, S_IFSOCK}, {folder, S_IFDIR}};
  const Bytes icon(300, 'i');
  for (const auto& c : cases) {
    for (bool replace : {true, false}) {
      const WriteOutcome w =
          replace ? Replace(c.path, icon)
                  : CreateFileWhole(c.path.c_str(), ByteSpan(icon.data(), icon.size()));
      EXPECT_EQ(w.status, WriteOutcome::NotRegularFile) << c.path << " " << replace;
      struct stat st;
      ASSERT_EQ(lstat(c.path.c_str(), &st), 0) << c.path;
      EXPECT_EQ(st.st_mode & S_IFMT, c.type) << c.path;
    }
  }
  close(sock);
  EXPECT_EQ(ListFolder(dir.Path("")),
            (std::vector<std::string>{"fifo.ico", "folder.ico", "null.ico", "socket.ico"}));
}

// What comes to a name nothing had while the new file is written is not
// moved over: a second process is told of the temporary file's opening
// (fanotify holds the open until it answers) and puts a FIFO, then a
// regular file, at the name first. The FIFO stays and the write is
// refused; the regular file is replaced as one there before would be.
TEST(SafeOutput, WhatComesToAFreeNameMeanwhileIsLookedAtBeforeTheMove) {
  VANTORICO_REQUIRE_INPUT(geteuid() == 0, "needs root to hold opens with fanotify");
  ScratchDir dir("safe_meanwhile");
  for (const bool fifo : {true, false}) {
    const std::string out = dir.Path(fifo ? "fifo.ico" : "file.ico");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const int group = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY);
      if (group < 0 || fanotify_mark(group, FAN_MARK_ADD, FAN_OPEN_PERM | FAN_EVENT_ON_CHILD,
                                     AT_FDCWD, dir.Path("").c_str()) != 0) {
        _exit(2);
      }
      if (write(ready[1], "r", 1) != 1) _exit(2);
      fanotify_event_metadata event;
      if (read(group, &event, sizeof event) < static_cast<ssize_t>(sizeof event)) _exit(3);
      // Made without an open, which would wait for this process's own answer.
      const bool made = mknod(out.c_str(), (fifo ? S_IFIFO : S_IFREG) | 0644, 0) == 0;
      const fanotify_response allow{event.fd, FAN_ALLOW};
      if (write(group, &allow, sizeof allow) != sizeof allow) _exit(4);
      _exit(made ? 0 : 5);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    close(ready[1]);
    const Bytes icon(3000, 'n');
    const WriteOutcome w = Replace(out, icon);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    struct stat st;
    ASSERT_EQ(lstat(out.c_str(), &st), 0);
    if (fifo) {
      EXPECT_EQ(w.status, WriteOutcome::NotRegularFile);
      EXPECT_TRUE(S_ISFIFO(st.st_mode));
    } else {
      EXPECT_EQ(w.status, WriteOutcome::Written);
      EXPECT_EQ(Contents(out), icon);
    }
  }
  EXPECT_EQ(ListFolder(dir.Path("")), (std::vector<std::string>{"fifo.ico", "file.ico"}));
}

// A replaced file keeps its permission bits (0600 stays 0600 under any umask);
// a new file takes the umask's.
TEST(SafeOutput, AReplacedFileKeepsItsMode) {
  ScratchDir dir("safe_mode");
  const mode_t old_mask = umask(022);
  for (mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0755}, mode_t{0444}}) {
    const std::string out = dir.Path("kept.ico");
    ASSERT_TRUE(WriteWholeFile(out, Bytes(5, 'o')));
    ASSERT_EQ(chmod(out.c_str(), mode), 0);
    ASSERT_TRUE(Replace(out, Bytes(9, 'n')));
    struct stat st;
    ASSERT_EQ(stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
    EXPECT_EQ(Contents(out), Bytes(9, 'n'));
  }
  ASSERT_TRUE(Replace(dir.Path("new.ico"), Bytes(3, 'n')));
  struct stat st;
  ASSERT_EQ(stat(dir.Path("new.ico").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  umask(old_mask);
}

// The no-replace write: an existing name is Exists and keeps its bytes; of
// writers racing for one name exactly one wins each round, and every other
// is told Exists; nothing is lost or left.
TEST(SafeOutput, NoReplaceWritesNeverReplaceAndOneOfRacingWritersWins) {
  ScratchDir dir("safe_no_replace");
  const std::string out = dir.Path("1.ico");
  const Bytes old(7, 'o');
  ASSERT_TRUE(WriteWholeFile(out, old));
  const Bytes icon(4000, 'n');
  EXPECT_EQ(CreateFileWhole(out.c_str(), ByteSpan(icon.data(), icon.size())).status,
            WriteOutcome::Exists);
  EXPECT_EQ(Contents(out), old);
  constexpr int kRounds = 300;
  constexpr int kWriters = 4;
  for (int round = 0; round < kRounds; ++round) {
    const std::string name = dir.Path("race" + std::to_string(round) + ".ico");
    std::atomic<int> written{0}, exists{0};
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
      writers.emplace_back([&, w] {
        const Bytes mine(100 + static_cast<size_t>(w), static_cast<uint8_t>('a' + w));
        const WriteOutcome r = CreateFileWhole(name.c_str(), ByteSpan(mine.data(), mine.size()));
        (r.status == WriteOutcome::Written ? written : exists)++;
      });
    }
    for (std::thread& t : writers) t.join();
    ASSERT_EQ(written.load(), 1) << round;
    ASSERT_EQ(exists.load(), kWriters - 1) << round;
    const Bytes got = Contents(name);
    ASSERT_GE(got.size(), 100u);
    EXPECT_EQ(got, Bytes(got.size(), static_cast<uint8_t>('a' + (got.size() - 100))));
  }
  EXPECT_EQ(ListFolder(dir.Path("")).size(), size_t{kRounds} + 1);
}

TEST(SourceFiles, WhatIsNotARegularFileIsRefusedWithoutWaiting) {
  ScratchDir dir("source_kinds");
  const std::string fifo = dir.Path("pipe.dll");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ReadSourceFile(fifo.c_str()).status, OpenStatus::NotRegularFile);
  EXPECT_EQ(ReadSourceFile(dir.Path("").c_str()).status, OpenStatus::NotRegularFile);
  const SourceFile missing = ReadSourceFile(dir.Path("absent.dll").c_str());
  EXPECT_EQ(missing.status, OpenStatus::Missing);
  EXPECT_EQ(missing.error.kind, ErrorKind::PathNotFound);
}

// Sources are read by range: a file cut short after it was opened reads
// short, and the group is reported as a failed read, never as other bytes.
// What was read before stays readable.
TEST(SourceFiles, ASourceCutShortAfterOpeningIsAFailedRead) {
  // The second group's image (256 KB) lies past the pages the directory is read through.
  const Bytes small = MakeDib(16, 16, 4, 16), large = MakeDib(256, 256, 32, 0);
  const Bytes module =
      BuildPe({{kResourceTypeGroupIcon, "", 1, 0x0409, GroupDirectoryOf({{1, small}}, false)},
               {kResourceTypeGroupIcon, "", 2, 0x0409, GroupDirectoryOf({{2, large}}, false)},
               {kResourceTypeIcon, "", 1, 0x0409, small},
               {kResourceTypeIcon, "", 2, 0x0409, large}});
  ScratchDir dir("source_cut");
  const std::string copy = dir.Path("copy.dll");
  ASSERT_TRUE(WriteWholeFile(copy, module));
  OpenedSource opened = IconSource::OpenByContent(copy.c_str());
  ASSERT_TRUE(opened.ok());
  ASSERT_EQ(opened.source->GroupCount(), 2);
  GroupRead first = opened.source->ReadGroup(1);
  ASSERT_NE(first.set, nullptr);
  ASSERT_EQ(truncate(copy.c_str(), static_cast<off_t>(module.size() / 2)), 0);
  GroupRead second = opened.source->ReadGroup(2);
  EXPECT_EQ(second.set, nullptr);
  EXPECT_EQ(second.status, ExtractStatus::UnreadableGroup);
  EXPECT_EQ(second.why, GroupFailure::ReadFailed);
  GroupRead again = opened.source->ReadGroup(1);
  ASSERT_NE(again.set, nullptr);
  ASSERT_EQ(again.set->imageCount, 1u);
  EXPECT_EQ(
      Bytes(again.set->images[0].data, again.set->images[0].data + again.set->images[0].dataSize),
      small);
}

}  // namespace
}  // namespace vantorico

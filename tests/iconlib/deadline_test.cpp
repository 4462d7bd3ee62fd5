// --timeout's deadline: a source that is slow to read stops being read soon
// after its thread's deadline, and reads as a failed read.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#include "iconlib/formats/byte_source.h"
#include "iconlib/formats/deadline.h"
#include "iconlib/formats/icon_source.h"
#include "pe_builder.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

constexpr auto kReadTime = std::chrono::milliseconds(40);

// The 32-bit Windows compiler has no std::this_thread.
void SleepForRead() {
#ifdef _WIN32
  Sleep(static_cast<DWORD>(kReadTime.count()));
#else
  const timespec t{0, static_cast<long>(kReadTime.count()) * 1000000L};
  nanosleep(&t, nullptr);
#endif
}

// Bytes served one slow read at a time, as from a far file system; counts
// the reads that reached it.
class SlowSource final : public ByteSource {
 public:
  SlowSource(const Bytes& bytes, int* fills)
      : ByteSource(bytes.size(), FileIdentity{}), bytes_(bytes), fills_(fills) {}

 private:
  bool Fill(uint64_t offset, uint8_t* out, size_t length, SystemError* error) override {
    (void)error;
    ++*fills_;
    SleepForRead();
    std::memcpy(out, bytes_.data() + offset, length);
    return true;
  }
  const Bytes& bytes_;
  int* fills_;
};

// A module of many groups, each image larger than a page the reader keeps,
// so that every group costs reads.
Bytes ManyGroups(int count) {
  std::vector<PeResource> r;
  const Bytes image = MakeDib(96, 96, 32, 0);
  for (int i = 1; i <= count; ++i) {
    const auto id = static_cast<uint16_t>(i);
    r.push_back({kResourceTypeGroupIcon, "", id, 0x0409, GroupDirectoryOf({{id, image}}, false)});
    r.push_back({kResourceTypeIcon, "", id, 0x0409, image});
  }
  return BuildPe(r);
}

struct Reading {
  int fills = 0;
  int read = 0;  // groups read
  int groups = 0;
  bool changed = false;
};

Reading ReadAll(const Bytes& file) {
  Reading out;
  std::unique_ptr<SlowSource> slow(new SlowSource(file, &out.fills));
  SlowSource* source = slow.get();
  OpenedSource opened =
      IconSource::OpenBytes("slow.dll", {OpenStatus::Opened, SystemError{}, std::move(slow)});
  if (!opened.ok()) {
    out.changed = source->changed();
    return out;
  }
  out.groups = opened.source->GroupCount();
  for (int32_t i = 1; i <= out.groups; ++i) {
    if (opened.source->ReadGroup(i).status == ExtractStatus::Written) ++out.read;
  }
  out.changed = source->changed();
  return out;
}

TEST(Deadline, ASlowSourceStopsBeingReadAtTheDeadline) {
  const Bytes file = ManyGroups(12);
  const Reading whole = ReadAll(file);
  ASSERT_EQ(whole.groups, 12);
  EXPECT_EQ(whole.read, 12);
  EXPECT_FALSE(whole.changed);
  ASSERT_GT(whole.fills, 12);  // each group reads its image

  // Every read takes kReadTime, so reads asked from 3 * kReadTime on find the
  // deadline passed: at most 3 reach the file, and the rest fail at once.
  const Deadline deadline(static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(3 * kReadTime).count()));
  const auto start = std::chrono::steady_clock::now();
  Reading cut;
  {
    const DeadlineScope scope(deadline);
    cut = ReadAll(file);
    EXPECT_TRUE(PastDeadline());
  }
  EXPECT_FALSE(PastDeadline());  // the scope is gone: this thread has none
  EXPECT_LE(cut.fills, 3);
  EXPECT_LT(cut.read, 12);
  EXPECT_TRUE(cut.changed);
  EXPECT_LT(std::chrono::steady_clock::now() - start, whole.fills * kReadTime / 2);
}

TEST(Deadline, NoneAndNestedDeadlines) {
  EXPECT_FALSE(Deadline().Passed());
  EXPECT_FALSE(Deadline(0).Passed());
  EXPECT_FALSE(Deadline(~uint64_t{0}).Passed());  // longer than a clock holds: none
  EXPECT_FALSE(Deadline(3600 * uint64_t{1000000000}).Passed());
  // A nanosecond's deadline passes with the clock's next tick (on Windows a
  // tick may be 100 ns).
  const Deadline later(3600 * uint64_t{1000000000}), soon(1);
  const auto start = std::chrono::steady_clock::now();
  while (!soon.Passed() && std::chrono::steady_clock::now() - start < std::chrono::seconds(1)) {
  }
  EXPECT_TRUE(soon.Passed());
  const DeadlineScope outer(later);
  EXPECT_FALSE(PastDeadline());
  {
    const DeadlineScope inner(soon);
    EXPECT_TRUE(PastDeadline());
  }
  EXPECT_FALSE(PastDeadline());
}

}  // namespace
}  // namespace vantorico

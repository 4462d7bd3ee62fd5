#pragma once
// What the reading of one source says, held until its turn: sources may be
// read on several threads, and everything they say reaches the run's
// output in the order of the sources, as one thread would say it.
#include <cstddef>
#include <string>
#include <vector>

namespace vantorico {

class RunLog {
 public:
  enum class Channel { Out, Err, Document };
  struct Entry {
    Channel channel;
    std::string text;
  };

  explicit RunLog(int verbosity) : verbosity_(verbosity) {}

  void Out(std::string text) { entries_.push_back({Channel::Out, std::move(text)}); }
  // Human output never carries a control character of a path or name.
  void Error(const std::string& message);
  void Note(const std::string& message) {
    if (verbosity_ > 0) Error(message);
  }
  void Verbose(const std::string& message) {
    if (verbosity_ > 1) Error(message);
  }
  // One JSON document of the run (a source's).
  void Document(std::string doc) { entries_.push_back({Channel::Document, std::move(doc)}); }

  int verbosity() const { return verbosity_; }
  const std::vector<Entry>& entries() const { return entries_; }
  void Clear() { entries_.clear(); }
  void Append(const RunLog& more) {
    entries_.insert(entries_.end(), more.entries_.begin(), more.entries_.end());
  }

 private:
  int verbosity_;
  std::vector<Entry> entries_;
};

// The counts of the run's summary.
struct Totals {
  size_t sources = 0;
  size_t written = 0;
  size_t skipped = 0;
  size_t failed = 0;
  size_t unreadable = 0;
  size_t passed = 0;     // files in folders that are no program or icon file
  size_t iconless = 0;   // sources without groups of the kinds asked
  size_t unreached = 0;  // folders and files in them that could not be reached

  Totals& operator+=(const Totals& more);
};

// Of two exit codes, the one the run ends with: 4 over 3 over 1 over 0.
int Worse(int a, int b);

}  // namespace vantorico

#pragma once
// Where the tests find the inputs that the machine's setup provides (Wine's
// program files, the shared corpus, the built test modules), and the rule
// for an input that is missing: a skip on a developer's machine, a failure
// in CI, where setup has provided every one.
#include <string>

#include <gtest/gtest.h>

namespace vantorico::testing {

// True when the run is CI's (CI=true): every input setup provides must be there.
bool InputsRequired();

// A host path as the engine's platform sees it ("Z:\..." under Wine).
std::string PlatformPath(const std::string& hostPath);

// Wine's folder of PE program files for one architecture (i386 or x86_64),
// in the platform's form: the installed package's folder, else the copy that
// setup unpacked into the project's cache. Empty when there is neither.
std::string WinePeDir(bool x86_64);
// A file of Wine's PE folders: the i386 one where there is one (the counts
// the tests know are its), else the x86_64 one. Empty when neither has it.
std::string WineFile(const std::string& name);
// A 16-bit NE module of Wine's (display.drv, mouse.drv, ...): the file a
// 32-bit prefix holds, else the NE image that the i386 builtin carries
// (what wineboot writes into a prefix), cut into the build tree. Empty
// when neither is there.
std::string WineNeFile(const std::string& name);
// The shared corpus of odd files (../shared/corpus), empty when absent.
std::string CorpusDir();

}  // namespace vantorico::testing

// Stops the test when an input is missing: skipped with the reason outside
// CI, failed with it in CI. Use where the input comes from setup or the
// build (Wine's files, the corpus, windres-built modules, root for a tmpfs).
#define VANTORICO_REQUIRE_INPUT(present, what)                                        \
  if (present) {                                                                      \
  } else if (::vantorico::testing::InputsRequired())                                  \
    GTEST_FAIL() << "missing input (setup or the build provides it in CI): " << what; \
  else                                                                                \
    GTEST_SKIP() << what

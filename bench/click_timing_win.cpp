// Times the tool's extraction click in process, under Wine or Windows: the
// live main window, its style on, the path box filled, "提取图标" clicked; a
// second thread closes the result box as soon as it shows. Start-up of a
// probe process and polling are left out, so the figures are the tool's own.
//
//   click_timing.exe [SOURCE] [RUNS]   (default: the system's shell32.dll, 5)
//
// Prints, each the median of RUNS:
//   the first click (no outputs yet) and the second (every output there);
//   1,000 reads of the path box as the handler does them, style on and off;
//   1,000 ExtractFileIcon passes alone (the engine's share of the click).
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/handlers.h"
#include "app/layout_handlers.h"
#include "app/library_setup.h"
#include "app/stored_layout.h"
#include "app/unit_ids.h"
#include "iconlib/command/extract_file_icon.h"
#include "runtime/core/command_call.h"
#include "runtime/core/memory.h"
#include "runtime/core/run_directory.h"
#include "runtime/core/runtime_texts.h"
#include "runtime/startup.h"
#include "runtime/window_commands.h"
#include "framework/window_table_win.h"
#include "shell/style/visual_style.h"

namespace vantorico {
namespace {

constexpr int kPathReads = 1000;
constexpr int kDefaultRuns = 5;
constexpr int kStyleScheme = 1;

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Print(const char* what, const std::vector<double>& values) {
  std::printf("%-36s %.4f s  (", what, Median(values));
  for (double v : values) std::printf(" %.4f", v);
  std::printf(" )\n");
}

// Answers every result box of this process as soon as it appears.
class BoxCloser {
 public:
  BoxCloser() : thread_([this] { Run(); }) {}
  ~BoxCloser() {
    stop_ = true;
    thread_.join();
  }

 private:
  void Run() {
    while (!stop_) {
      HWND box = FindWindowA("#32770", kTextDefaultCaption);
      DWORD pid = 0;
      if (box) GetWindowThreadProcessId(box, &pid);
      if (box && pid == GetCurrentProcessId()) {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
      }
      Sleep(1);
    }
  }
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

void RemoveOutputs(const std::string& run_dir) {
  for (int i = 1; i <= MaxIconGroups; ++i) {
    DeleteFileA((run_dir + "\\" + std::to_string(i) + ".ico").c_str());
  }
}

double TimePathReads() {
  const double start = Seconds();
  for (int i = 0; i < kPathReads; ++i) {
    const OwnedText path(SlotText(ReadUnitProperty(kMainWindowId, kPathBoxId, kPropertyContent)));
    if (!path) std::abort();
  }
  return Seconds() - start;
}

double TimeEngine(const std::string& source, const std::string& run_dir) {
  const double start = Seconds();
  for (int i = 1; i <= MaxIconGroups; ++i) {
    const std::string out = run_dir + "\\" + std::to_string(i) + ".ico";
    CallLibraryCommand(kLibraryAppInterface, ExtractFileIcon, 4, TextSlot(source.c_str()),
                       IntSlot(ExtractToFile), TextSlot(out.c_str()), IntSlot(i));
  }
  return Seconds() - start;
}

LRESULT CALLBACK PassingHook(int code, WPARAM wparam, LPARAM lparam) {
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

void SetStyle(int scheme) {
  CallLibraryCommand(kLibraryVisualStyle, style::SetVisualStyle, 1, IntSlot(scheme));
}

}  // namespace
}  // namespace vantorico

int main(int argc, char** argv) {
  using namespace vantorico;
  char system_dir[MAX_PATH];
  GetSystemDirectoryA(system_dir, MAX_PATH);
  const std::string source = argc > 1 ? argv[1] : std::string(system_dir) + "\\shell32.dll";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultRuns;

  RegisterLibraries();
  InitializeRuntime(ByteSpan(kStoredLayout, kStoredLayoutSize), HandlerTable(), kHandlerCount);
  const std::string run_dir = GetProgramPath().runDirectory;
  LoadStartWindow(kMainWindowId);
  LiveWindow* window = FindWindowEntry(kMainWindowId)->live.get();
  if (!window) {
    std::fprintf(stderr, "click_timing: the main window did not open\n");
    return 1;
  }
  WriteUnitProperty(kMainWindowId, kPathBoxId, kPropertyContent, TextSlot(source.c_str()));
  HWND extract = window->FindUnit(kExtractButtonId)->hwnd;

  std::vector<double> first, second, reads_on, reads_off, reads_hook, engine;
  {
    BoxCloser closer;
    for (int r = 0; r < runs; ++r) {
      RemoveOutputs(run_dir);
      double start = Seconds();
      SendMessageA(extract, BM_CLICK, 0, 0);
      first.push_back(Seconds() - start);
      start = Seconds();
      SendMessageA(extract, BM_CLICK, 0, 0);
      second.push_back(Seconds() - start);
    }
  }
  for (int r = 0; r < runs; ++r) {
    reads_on.push_back(TimePathReads());
    SetStyle(0);
    reads_off.push_back(TimePathReads());
    // What a thread hook costs by itself, with nothing subclassed.
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, PassingHook, nullptr, GetCurrentThreadId());
    reads_hook.push_back(TimePathReads());
    UnhookWindowsHookEx(hook);
    SetStyle(kStyleScheme);
    RemoveOutputs(run_dir);
    engine.push_back(TimeEngine(source, run_dir));
  }
  RemoveOutputs(run_dir);

  std::printf("source: %s, median of %d (each run)\n", source.c_str(), runs);
  Print("first click:", first);
  Print("second click (outputs there):", second);
  Print("1,000 path reads, style on:", reads_on);
  Print("1,000 path reads, style off:", reads_off);
  Print("1,000 path reads, a bare hook only:", reads_hook);
  Print("1,000 ExtractFileIcon passes alone:", engine);
  return 0;
}

#include <ole2.h>
#include <windows.h>

#include "framework/layout_reader.h"
#include "framework/window_table_win.h"
#include "runtime/core/memory.h"
#include "runtime/core/program_end.h"
#include "runtime/core/run_directory.h"
#include "runtime/core/runtime_error.h"
#include "runtime/startup.h"
#include "runtime/window_texts.h"

namespace vantorico {
namespace {

// Every read-only initialised section of the program image: its literal texts
// and constant byte sets, which FreeMemory must leave alone.
void RegisterConstantData() {
  auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    const DWORD c = section->Characteristics;
    if ((c & IMAGE_SCN_CNT_INITIALIZED_DATA) && !(c & IMAGE_SCN_MEM_WRITE)) {
      const BYTE* start = base + section->VirtualAddress;
      RegisterNoFreeRange(start, start + section->Misc.VirtualSize);
    }
  }
}

}  // namespace

void InitializeRuntime(ByteSpan layout, const EventHandler* handlers, int handler_count) {
  OleInitialize(nullptr);
  InitRunDirectory();
  RegisterConstantData();
  InitializeLibraries();
  LayoutRecord record;
  if (!ReadLayout(layout, handler_count, &record)) ReportRuntimeError(kTextStartWindowFailed, 0);
  SetProgramLayout(std::move(record));
  SetEventHandlers(handlers, handler_count);
}

}  // namespace vantorico

#pragma once
// The runtime's initialisation at start-up.
#include "base/byte_cursor.h"
#include "framework/events_win.h"

namespace vantorico {

// OLE, the run directory as the current directory, the program's constant
// data as a no-free range, each library's start, and the layout read with its
// handlers. A layout that cannot be read is the runtime
// error "载入启动窗口失败".
void InitializeRuntime(ByteSpan layout, const EventHandler* handlers, int handler_count);

}  // namespace vantorico

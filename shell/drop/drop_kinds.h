#pragma once
// Which kinds of dragged data a target asks for, and in which order.
#include <vector>

#include "shell/drop/drop_target_settings.h"

namespace vantorico {

enum class DropKind { Text, Html, Url, Files };

// DragEnter asks the data for the accepted kinds in this order, stopping at
// the first one offered: text, files, link, HTML.
std::vector<DropKind> AcceptQueryOrder(const DropTargetSettings& settings);

// Drop handles the accepted kinds in this order: text, HTML, link, files.
std::vector<DropKind> DropHandlingOrder(const DropTargetSettings& settings);

// The event each kind fires.
DropTargetEvent EventForKind(DropKind kind);

}  // namespace vantorico

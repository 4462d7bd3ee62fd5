#include "fuzz/fuzz_rule_entries.h"

#include <string>
#include <vector>

#include "framework/layout_constants.h"
#include "framework/layout_reader.h"
#include "runtime/dialog/filter_conversion.h"
#include "shell/drop/drop_text.h"
#include "shell/tray/icon_entry_choice.h"

namespace vantorico {
namespace {

bool HandlerInRange(int32_t ref, int handler_count) {
  return ref == kNoHandler || (ref >= 0 && ref < handler_count);
}

bool LayoutKeepsPromises(const LayoutRecord& layout, int handler_count) {
  if (layout.windows.empty()) return false;
  for (const WindowLayout& w : layout.windows) {
    if (w.units.empty() || w.units[0].typeCode != kKindWindow) return false;
    for (const UnitRecord& u : w.units) {
      if (u.typeCode == kKindMenu && !HandlerInRange(u.menu.handlerRef, handler_count))
        return false;
      for (const EventBinding& b : u.events) {
        if (!HandlerInRange(b.handlerRef, handler_count)) return false;
      }
    }
  }
  return true;
}

}  // namespace

bool FuzzLayoutReader(const uint8_t* data, size_t size) {
  // No handlers, the program's own count, and more than any layout names.
  for (int handler_count : {0, 11, 0x7FFFFFFF}) {
    LayoutRecord layout;
    if (ReadLayout(ByteSpan(data, size), handler_count, &layout) &&
        !LayoutKeepsPromises(layout, handler_count)) {
      return false;
    }
  }
  return true;
}

bool FuzzIconChoice(const uint8_t* data, size_t size) {
  const ByteSpan file(data, size);
  uint16_t count = 0;
  ByteCursor(file).PeekU16At(4, &count);
  for (bool large : {false, true}) {
    const int index = ChooseIconEntry(file, large);
    if (index < -1 || index >= int{count}) return false;
    ChosenIconImage chosen;
    if (!ChooseIconImage(file, large, &chosen)) continue;
    if (index < 0) return false;
    const ByteSpan bytes = chosen.bytes;
    if (!bytes.empty() && (bytes.data() < data || static_cast<size_t>(bytes.data() - data) > size ||
                           bytes.size() > size - static_cast<size_t>(bytes.data() - data))) {
      return false;
    }
  }
  return true;
}

bool FuzzFilterConversion(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string input = text.substr(0, text.find('\0'));
  const std::string out = ConvertFilter(input.c_str());
  // Undoing the NULs must give a prefix of the input whose rest is blanks,
  // with "||" or nothing after it.
  std::string restored = out;
  for (char& c : restored) {
    if (c == '\0') c = '|';
  }
  size_t kept = restored.size();
  if (kept > input.size() || input.compare(0, kept, restored) != 0) {
    if (kept < 2 || restored.compare(kept - 2, 2, "||") != 0) return false;
    kept -= 2;
    if (kept > input.size() || input.compare(0, kept, restored, 0, kept) != 0) return false;
  }
  if (input.find_first_not_of(" \t\r\n", kept) != std::string::npos) return false;
  // Only '|' bytes became NUL.
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '\0' && restored[i] != '|') return false;
  }
  return true;
}

bool FuzzDropText(const uint8_t* data, size_t size) {
  std::vector<std::string> paths;
  std::string current;
  size_t total = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      paths.push_back(current);
      total += current.size();
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  if (!current.empty() || paths.empty()) {
    paths.push_back(current);
    total += current.size();
  }
  const std::string text = BuildDropText(paths);
  if (paths.size() == 1) return text == paths.front();
  if (text.size() != total + 2 * paths.size()) return false;
  size_t at = 0;
  for (const std::string& p : paths) {
    if (text.compare(at, p.size(), p) != 0 || text.compare(at + p.size(), 2, "\r\n") != 0)
      return false;
    at += p.size() + 2;
  }
  return true;
}

}  // namespace vantorico

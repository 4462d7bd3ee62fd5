#include "framework/layout_reader.h"

#include <cstring>
#include <initializer_list>

#include "framework/layout_constants.h"

namespace vantorico {
namespace {

// The stored forms over one cursor: texts, counted texts, byte blocks.
class LayoutCursor {
 public:
  explicit LayoutCursor(ByteCursor& cursor) : c_(cursor) {}

  bool U32(uint32_t* v) { return c_.ReadU32(v); }
  bool S32(int32_t* v) { return c_.ReadS32(v); }
  bool U16(uint16_t* v) { return c_.ReadU16(v); }
  bool Skip(size_t n) { return c_.Skip(n); }
  bool AtEnd() const { return c_.remaining() == 0; }
  ByteCursor& cursor() { return c_; }
  size_t position() const { return c_.position(); }
  bool Span(size_t n, ByteSpan* out) { return c_.ReadSpan(n, out); }

  // NUL-terminated text.
  bool Text(std::string* out) {
    ByteSpan rest = c_.span().From(c_.position());
    for (size_t i = 0; i < rest.size(); ++i) {
      if (rest.data()[i] == 0) {
        out->assign(reinterpret_cast<const char*>(rest.data()), i);
        return c_.Skip(i + 1);
      }
    }
    return false;
  }
  // 32-bit length, then that many bytes.
  bool Block(std::vector<uint8_t>* out) {
    uint32_t length;
    ByteSpan bytes;
    if (!c_.ReadU32(&length) || !c_.ReadSpan(length, &bytes)) return false;
    out->assign(bytes.data(), bytes.data() + bytes.size());
    return true;
  }
  bool Counted(std::string* out) {
    std::vector<uint8_t> bytes;
    if (!Block(&bytes)) return false;
    out->assign(bytes.begin(), bytes.end());
    return true;
  }
  // A counted text kept as a C text: up to its first NUL.
  bool CountedCText(std::string* out) {
    if (!Counted(out)) return false;
    out->resize(std::strlen(out->c_str()));
    return true;
  }
  template <size_t N>
  bool SignedWords(std::array<int32_t, N>* words) {
    for (int32_t& w : *words) {
      if (!S32(&w)) return false;
    }
    return true;
  }
  template <size_t N>
  bool Words(std::array<uint32_t, N>* words) {
    for (uint32_t& w : *words) {
      if (!U32(&w)) return false;
    }
    return true;
  }
  bool Font(StoredFont* font) {
    return Block(font) && (font->empty() || font->size() == kLogFontSize);
  }
  bool Version(uint32_t expected) {
    uint32_t v;
    return U32(&v) && v == expected;
  }

 private:
  ByteCursor& c_;
};

bool HandlerOk(int32_t ref, int handler_count) {
  return ref == kNoHandler || (ref >= 0 && ref < handler_count);
}

bool ReadWindowSettings(LayoutCursor& c, WindowSettings* w) {
  return c.Version(kStoredWindowVersion) && c.U32(&w->border) && c.U32(&w->backgroundPictureMode) &&
         c.U32(&w->backgroundColor) && c.U32(&w->maximizeBox) && c.U32(&w->minimizeBox) &&
         c.U32(&w->controlBox) && c.U32(&w->startPosition) && c.U32(&w->closeBox) &&
         c.Words(&w->further) && c.Counted(&w->extraText1) && c.Block(&w->backgroundPicture) &&
         c.Block(&w->icon) && c.Block(&w->backgroundSound) && c.Counted(&w->title) &&
         c.Counted(&w->extraText2);
}

bool ReadButtonSettings(LayoutCursor& c, ButtonSettings* b) {
  return c.Version(kStoredButtonVersion) && c.U32(&b->buttonKind) &&
         c.U32(&b->horizontalAlignment) && c.U32(&b->verticalAlignment) && c.Block(&b->picture) &&
         c.Font(&b->font) && c.Counted(&b->caption);
}

bool ReadEditBoxSettings(LayoutCursor& c, EditBoxSettings* e) {
  return c.Version(kStoredEditBoxVersion) && c.U32(&e->border) && c.U32(&e->textColor) &&
         c.U32(&e->backgroundColor) && c.U32(&e->hideSelection) && c.U32(&e->maxLength) &&
         c.U32(&e->multiLine) && c.U32(&e->scrollBars) && c.U32(&e->alignment) &&
         c.U32(&e->inputMode) && c.U16(&e->passwordChar) && c.U32(&e->caseConversion) &&
         c.U32(&e->spin) && c.S32(&e->spinMin) && c.S32(&e->spinMax) && c.U32(&e->selectionStart) &&
         c.U32(&e->selectionLength) && c.Font(&e->font) && c.Counted(&e->content) &&
         c.Counted(&e->extraText1) && c.Counted(&e->extraText2);
}

bool ReadLabelSettings(LayoutCursor& c, LabelSettings* l) {
  return c.Version(kStoredLabelVersion) && c.Words(&l->words) && c.Font(&l->font) &&
         c.Block(&l->secondBlock) && c.Counted(&l->caption) && c.Counted(&l->extraText1) &&
         c.Counted(&l->extraText2);
}

bool ReadPicBoxSettings(LayoutCursor& c, PicBoxSettings* p) {
  return c.Version(kStoredPicBoxVersion) && c.U32(&p->border) && c.U32(&p->backgroundColor) &&
         c.U32(&p->displayMode) && c.U32(&p->animate) && c.Block(&p->picture) &&
         c.Counted(&p->extraText1) && c.Counted(&p->extraText2);
}

bool ReadSpecific(LayoutCursor& c, UnitRecord* u) {
  switch (u->typeCode) {
    case kKindWindow:
      return ReadWindowSettings(c, &u->window);
    case kKindButton:
      return ReadButtonSettings(c, &u->button);
    case kKindEditBox:
      return ReadEditBoxSettings(c, &u->editBox);
    case kKindLabel:
      return ReadLabelSettings(c, &u->label);
    case kKindPicBox:
      return ReadPicBoxSettings(c, &u->picBox);
    case kKindCommonDlg:
      return ReadCommonDlgBlock(c.cursor(), &u->commonDlg);
    case kKindDropTarget:
      return ReadDropTargetBlock(c.cursor(), &u->dropTarget);
    default:
      return false;
  }
}

bool ReadMenuRecord(LayoutCursor& c, int handler_count, UnitRecord* u) {
  MenuEntryRecord& m = u->menu;
  return c.U32(&m.hotkey) && c.U32(&m.level) && c.U32(&m.menuFlags) && c.Text(&m.caption) &&
         c.S32(&m.handlerRef) && HandlerOk(m.handlerRef, handler_count) &&
         c.Skip(kMenuTrailingBytes);
}

bool ReadUnitRecord(ByteSpan record, uint32_t unit_id, int handler_count, UnitRecord* u) {
  ByteCursor cursor(record);
  LayoutCursor c(cursor);
  u->unitId = unit_id;
  if (!c.U32(&u->typeCode) || !c.Skip(kLayoutReservedBytes) || !c.Text(&u->name) ||
      !c.Text(&u->remark))
    return false;
  const bool is_menu = UnitClassOf(unit_id) == kUnitClassMenu;
  if (is_menu != (u->typeCode == kKindMenu)) return false;
  if (is_menu) return ReadMenuRecord(c, handler_count, u) && c.AtEnd();

  uint32_t slot, child_count, event_count, unnamed;
  if (!c.U32(&slot) || !c.S32(&u->left) || !c.S32(&u->top) || !c.S32(&u->width) ||
      !c.S32(&u->height) || !c.U32(&slot) || !c.U32(&u->parentUnit) || !c.U32(&child_count) ||
      child_count > kMaxChildUnits)
    return false;
  u->children.resize(child_count);
  for (uint32_t& child : u->children) {
    if (!c.U32(&child)) return false;
  }
  if (!c.Block(&u->mousePointer) || !c.Text(&u->tag) || !c.U32(&unnamed) || !c.U32(&u->unitFlags) ||
      !c.U32(&unnamed) || !c.U32(&event_count) || event_count > kMaxEventsPerUnit)
    return false;
  u->events.resize(event_count);
  for (EventBinding& b : u->events) {
    if (!c.U32(&b.eventIndex) || !c.S32(&b.handlerRef) || !HandlerOk(b.handlerRef, handler_count))
      return false;
  }
  return c.Skip(kLayoutReservedBytes) && ReadSpecific(c, u) && c.AtEnd();
}

bool ReadWindowLayout(ByteCursor& outer, int handler_count, WindowLayout* w) {
  ByteCursor cursor(outer.span().From(outer.position()));
  LayoutCursor c(cursor);
  uint32_t unit_count, table_length;
  if (!c.U32(&w->storedWords[0]) || !c.U32(&w->storedWords[1]) || !c.Counted(&w->extraText1) ||
      !c.Counted(&w->extraText2) || !c.U32(&unit_count) || !c.U32(&table_length) ||
      unit_count == 0 || unit_count > kMaxUnitsPerWindow)
    return false;
  ByteSpan table;
  if (!c.Span(table_length, &table) || !outer.Skip(c.position())) return false;

  ByteCursor t(table);
  std::vector<uint32_t> ids(unit_count), offsets(unit_count);
  for (uint32_t& id : ids) {
    if (!t.ReadU32(&id)) return false;
  }
  for (uint32_t& off : offsets) {
    if (!t.ReadU32(&off)) return false;
  }
  const ByteSpan records = table.From(t.position());
  w->units.resize(unit_count);
  for (uint32_t i = 0; i < unit_count; ++i) {
    ByteCursor r(records);
    uint32_t length;
    ByteSpan record;
    if (!r.Seek(offsets[i]) || !r.ReadU32(&length) || !r.ReadSpan(length, &record)) return false;
    if (!ReadUnitRecord(record, ids[i], handler_count, &w->units[i])) return false;
  }
  // The window itself comes first, and is the only unit of its class.
  if (w->units[0].typeCode != kKindWindow || UnitClassOf(ids[0]) != kUnitClassWindow) return false;
  for (uint32_t i = 1; i < unit_count; ++i) {
    if (w->units[i].typeCode == kKindWindow) return false;
  }
  return true;
}

}  // namespace

bool ReadCommonDlgBlock(ByteCursor& cursor, CommonDlgSettings* settings) {
  LayoutCursor c(cursor);
  uint32_t version = 0;
  if (!c.U32(&version) || version > kStoredCommonDlgVersion) return false;
  std::array<int32_t, kCommonDlgNamedSettings> named{};
  CommonDlgSettings read;
  if (!c.SignedWords(&named) || !c.SignedWords(&read.furtherSettings)) return false;
  for (std::string* text : {&read.title, &read.fileName, &read.filter, &read.initialDirectory,
                            &read.defaultExtension}) {
    if (!c.CountedCText(text)) return false;
  }
  for (std::string& text : read.furtherTexts) {
    if (!c.CountedCText(&text)) return false;
  }
  // Stored order: DialogType, InitialFilter, then the five switches.
  read.dialogType = named[0];
  read.initialFilter = named[1];
  read.createPrompt = named[2];
  read.fileMustExist = named[3];
  read.overwritePrompt = named[4];
  read.pathMustExist = named[5];
  read.keepCurrentDirectory = named[6];
  *settings = std::move(read);
  return true;
}

bool ReadDropTargetBlock(ByteCursor& cursor, DropTargetSettings* settings) {
  if (cursor.remaining() == 0) {
    *settings = DropTargetSettings();
    return true;
  }
  DropTargetSettings read;
  uint32_t version = 0;
  if (!cursor.ReadU32(&version) || version > kStoredDropTargetVersion ||
      !cursor.ReadS32(&read.acceptText) || !cursor.ReadS32(&read.acceptHtml) ||
      !cursor.ReadS32(&read.acceptUrl) || !cursor.ReadS32(&read.acceptFiles))
    return false;
  *settings = read;
  return true;
}

bool ReadLayout(ByteSpan block, int handler_count, LayoutRecord* out) {
  ByteCursor c(block);
  uint32_t table_length;
  if (!c.ReadU32(&table_length) || table_length == 0 || table_length % 8 != 0) return false;
  const uint32_t window_count = table_length / 8;
  if (window_count > kMaxLayoutWindows) return false;
  LayoutRecord layout;
  layout.windows.resize(window_count);
  for (WindowLayout& w : layout.windows) {
    if (!c.ReadU32(&w.windowId)) return false;
  }
  if (!c.Skip(4 * window_count)) return false;  // run-time slots
  for (WindowLayout& w : layout.windows) {
    if (!ReadWindowLayout(c, handler_count, &w)) return false;
  }
  *out = std::move(layout);
  return true;
}

}  // namespace vantorico

#pragma once
// Fixed numbers of the DropTarget unit: properties, events, the platform's
// drop effects, key-state bits and clipboard formats. The stored block's
// version is the layout's.
#include <cstddef>
#include <cstdint>

namespace vantorico {

// Unit properties, in the order of the stored block.
enum DropTargetProperty : int {
  AcceptText = 0,
  AcceptHtml = 1,
  AcceptUrl = 2,
  AcceptFiles = 3,
};

// Unit events, each with one text argument.
enum DropTargetEvent : int {
  TextDropped = 0,
  HtmlDropped = 1,
  UrlDropped = 2,
  FilesDropped = 3,
};

// DROPEFFECT values.
constexpr uint32_t kDropEffectNone = 0;
constexpr uint32_t kDropEffectCopy = 1;
constexpr uint32_t kDropEffectMove = 2;
constexpr uint32_t kDropEffectLink = 4;

// Key-state bits (MK_SHIFT, MK_CONTROL).
constexpr uint32_t kKeyShift = 0x4;
constexpr uint32_t kKeyControl = 0x8;

// Clipboard formats: the two standard ones and the names of the registered ones.
constexpr uint32_t kFormatText = 1;    // CF_TEXT
constexpr uint32_t kFormatHDrop = 15;  // CF_HDROP
constexpr char kLinkFormatName[] = "UniformResourceLocator";
constexpr char kHtmlFormatName[] = "HTML Format";

// Every path of a multi-file drop is followed by this.
constexpr char kDropPathEnd[] = "\r\n";

// Drop returns this to the drag source in every case (E_FAIL).
constexpr uint32_t kDropResult = 0x80004005u;

// DragQueryFileA's index asking for the number of files.
constexpr uint32_t kDragQueryCount = 0xFFFFFFFFu;

// The no-break space that HTML drops turn into a plain space.
constexpr uint16_t kNoBreakSpace = 0x00A0;

}  // namespace vantorico

#include "shell/style/style_attach_win.h"

#include <commctrl.h>

#include "shell/style/initial_state.h"
#include "shell/style/style_constants.h"
#include "shell/style/styled_control.h"

namespace vantorico::style {

// The portable copies of the style bits, check states and redraw flags.
static_assert(kWsDisabled == WS_DISABLED && kWsBorder == WS_BORDER &&
              kWsExClientEdge == WS_EX_CLIENTEDGE && kWsExStaticEdge == WS_EX_STATICEDGE);
static_assert(kButtonTypeMask == BS_TYPEMASK && kBsPushButton == BS_PUSHBUTTON &&
              kBsDefPushButton == BS_DEFPUSHBUTTON && kBsCheckBox == BS_CHECKBOX &&
              kBsAutoCheckBox == BS_AUTOCHECKBOX && kBsRadioButton == BS_RADIOBUTTON &&
              kBs3State == BS_3STATE && kBsAuto3State == BS_AUTO3STATE &&
              kBsGroupBox == BS_GROUPBOX && kBsUserButton == BS_USERBUTTON &&
              kBsAutoRadioButton == BS_AUTORADIOBUTTON && kBsFirstOwnerType == BS_PUSHBOX);
static_assert(kBsLeftText == BS_LEFTTEXT && kBsBitmap == BS_BITMAP && kBsBottom == BS_BOTTOM &&
              kBsVCenter == BS_VCENTER && kBsVerticalMask == (BS_TOP | BS_BOTTOM) &&
              kBsPushLike == BS_PUSHLIKE && kUntakenPushButtonStyle == (WS_CHILD | WS_TABSTOP) &&
              kBsLeft == BS_LEFT && kBsRight == BS_RIGHT && kBsCenter == BS_CENTER &&
              kBsTop == BS_TOP && kBsAlignmentMask == (BS_LEFT | BS_RIGHT | BS_TOP | BS_BOTTOM));
static_assert(kEsReadOnly == ES_READONLY && kCbsSimple == CBS_SIMPLE &&
              kCbsDropDown == CBS_DROPDOWN && kCbsDropDownList == CBS_DROPDOWNLIST &&
              kCbsTypeMask == (CBS_SIMPLE | CBS_DROPDOWN | CBS_DROPDOWNLIST));
static_assert(kUdsAlignRight == UDS_ALIGNRIGHT && kUdsAlignLeft == UDS_ALIGNLEFT &&
              kUdsHorz == UDS_HORZ);
static_assert(kBstChecked == BST_CHECKED && kBstIndeterminate == BST_INDETERMINATE);
static_assert(kRedrawCompletely ==
              (RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME));

namespace {

constexpr int kClassNameBytes = 256;

ControlKind KindOf(HWND hwnd, uint32_t style) {
  char class_name[kClassNameBytes] = {};
  GetClassNameA(hwnd, class_name, sizeof class_name);
  char parent_class[kClassNameBytes] = {};
  const HWND parent = GetParent(hwnd);
  if (parent) GetClassNameA(parent, parent_class, sizeof parent_class);
  return ClassifyControl(
      {class_name, style, parent ? parent_class : nullptr, GetWindowTextLengthA(hwnd) > 0});
}

void Redraw(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, kRedrawCompletely);
}

// An up-down control beside an attached edit: both learn the side.
void JoinBuddy(HWND up_down, StyledControl& record, uint32_t style) {
  const auto buddy = reinterpret_cast<HWND>(SendMessageA(up_down, UDM_GETBUDDY, 0, 0));
  StyledControl* edit = buddy ? FindStyledControl(buddy) : nullptr;
  if (!edit || edit->kind != kKindEdit) return;
  const BuddyFlags flags = UpDownBuddyFlags(style);
  record.state |= flags.upDown;
  edit->state |= flags.edit;
}

template <void (*Visit)(HWND)>
BOOL CALLBACK VisitChild(HWND hwnd, LPARAM) {
  Visit(hwnd);
  return TRUE;
}

// EnumChildWindows already reaches every descendant.
template <void (*Visit)(HWND)>
BOOL CALLBACK VisitTree(HWND hwnd, LPARAM) {
  Visit(hwnd);
  EnumChildWindows(hwnd, VisitChild<Visit>, 0);
  return TRUE;
}

}  // namespace

void AttachWindow(HWND hwnd) {
  if (!hwnd || FindStyledControl(hwnd)) return;
  const auto style = static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_STYLE));
  const ControlKind kind = KindOf(hwnd, style);
  if (!IsAttachedKind(kind)) return;

  int check = 0;
  if (kind == kKindPushButton || kind == kKindCheckBox || kind == kKindRadioButton) {
    check = static_cast<int>(SendMessageA(hwnd, BM_GETCHECK, 0, 0));
  }
  StyledControl* record =
      AddStyledControl(hwnd, kind, InitialState(kind, {style, GetFocus() == hwnd, check}));
  record->previousProcedure = static_cast<intptr_t>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StyleWindowProcedure)));
  if (kind == kKindUpDown) JoinBuddy(hwnd, *record, style);
  Redraw(hwnd);
}

void DetachWindow(HWND hwnd) {
  StyledControl* record = FindStyledControl(hwnd);
  if (!record) return;
  const intptr_t previous = record->previousProcedure;
  RemoveStyledControl(hwnd);
  SetWindowLongPtrA(hwnd, GWLP_WNDPROC, static_cast<LONG_PTR>(previous));
  Redraw(hwnd);
}

void AttachThreadWindows() {
  EnumThreadWindows(GetCurrentThreadId(), VisitTree<AttachWindow>, 0);
}

void DetachThreadWindows() {
  EnumThreadWindows(GetCurrentThreadId(), VisitTree<DetachWindow>, 0);
}

}  // namespace vantorico::style

#include "shell/tray/tray_popup_win.h"

#include "shell/tray/tray_constants.h"

namespace vantorico {
namespace {

bool AppendItems(HMENU menu, const std::vector<MenuItemPlan>& items) {
  for (const MenuItemPlan& item : items) {
    UINT flags = MF_STRING;
    if (item.grayed) flags |= MF_GRAYED;
    if (item.checked) flags |= MF_CHECKED;
    UINT_PTR id = item.commandId;
    if (item.separator) {
      flags = MF_SEPARATOR;
    } else if (item.subMenu) {
      UniqueMenu sub = BuildPopupMenu(item.children);
      if (!sub) return false;
      flags |= MF_POPUP;
      id = reinterpret_cast<UINT_PTR>(sub.get());
      if (!AppendMenuA(menu, flags, id, item.caption.c_str())) return false;
      sub.release();  // owned by menu now
      continue;
    }
    if (!AppendMenuA(menu, flags, id, item.separator ? nullptr : item.caption.c_str()))
      return false;
  }
  return true;
}

}  // namespace

UniqueMenu BuildPopupMenu(const std::vector<MenuItemPlan>& items) {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu || !AppendItems(menu.get(), items)) return UniqueMenu();
  return menu;
}

bool PopupTrayMenu(HWND window, const std::vector<MenuEntryDescription>& entries, size_t index) {
  if (!HasSubEntries(entries, index)) return false;
  UniqueMenu popup = BuildPopupMenu(PlanSubMenu(entries, index));
  if (!popup) return false;
  POINT cursor = {};
  GetCursorPos(&cursor);
  // Without the foreground the popup would not close on a click elsewhere.
  SetForegroundWindow(window);
  TrackPopupMenu(popup.get(), TPM_RIGHTALIGN, cursor.x - kPopupCursorOffset,
                 cursor.y - kPopupCursorOffset, 0, window, nullptr);
  // Lets the menu's modal loop end cleanly (the popup would otherwise come
  // back up on the next click in the tray).
  PostMessageA(window, WM_NULL, 0, 0);
  return true;
}

}  // namespace vantorico

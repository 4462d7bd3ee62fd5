#include "framework/program_icon_win.h"

#include "base/win_handles.h"

namespace vantorico {
namespace {

constexpr DWORD kIconFormatVersion = 0x00030000;

// The group image the system would choose for this size, made into an icon.
HICON LoadGroupIcon(int size) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC group = FindResourceA(self, kProgramIconGroup, RT_GROUP_ICON);
  HGLOBAL group_data = group ? LoadResource(self, group) : nullptr;
  auto* dir = group_data ? static_cast<BYTE*>(LockResource(group_data)) : nullptr;
  if (!dir) return nullptr;
  const int id = LookupIconIdFromDirectoryEx(dir, TRUE, size, size, LR_DEFAULTCOLOR);
  HRSRC image = id ? FindResourceA(self, MAKEINTRESOURCEA(id), RT_ICON) : nullptr;
  HGLOBAL image_data = image ? LoadResource(self, image) : nullptr;
  auto* bytes = image_data ? static_cast<BYTE*>(LockResource(image_data)) : nullptr;
  if (!bytes) return nullptr;
  return CreateIconFromResourceEx(bytes, SizeofResource(self, image), TRUE, kIconFormatVersion,
                                  size, size, LR_DEFAULTCOLOR);
}

}  // namespace

HICON ProgramIconLarge() {
  static UniqueIcon icon(LoadGroupIcon(GetSystemMetrics(SM_CXICON)));
  return icon.get();
}

HICON ProgramIconSmall() {
  static UniqueIcon icon(LoadGroupIcon(GetSystemMetrics(SM_CXSMICON)));
  return icon.get();
}

}  // namespace vantorico

#include "framework/unit_faces_win.h"

#include "base/byte_cursor.h"
#include "framework/fit_picture.h"
#include "framework/layout_constants.h"

namespace vantorico {

LRESULT CALLBACK LiveWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

namespace {

constexpr DWORD kIconFormatVersion = 0x00030000;
constexpr size_t kIconHeaderBytes = 6;
constexpr size_t kIconDirEntryBytes = 16;
constexpr int kFullSizeDimension = 256;  // a 0 in the directory means 256

LiveUnit* UnitOf(HWND hwnd) {
  return reinterpret_cast<LiveUnit*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Keeps the unit passed at creation with the window.
BOOL StoreCreationUnit(HWND hwnd, LPARAM lparam) {
  const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lparam);
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  return TRUE;
}

void FillBackground(HDC dc, const RECT& rc, uint32_t stored_color) {
  UniqueBrush brush(CreateSolidBrush(ResolveColor(stored_color, COLOR_BTNFACE)));
  FillRect(dc, &rc, brush.get());
}

void PaintLabel(HDC dc, const RECT& client, const LiveUnit& unit) {
  const LabelSettings& label = unit.record->label;
  FillBackground(dc, client, label.backgroundColor());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ResolveColor(label.textColor(), COLOR_WINDOWTEXT));
  HFONT font = unit.font ? unit.font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SelectedObject selected(dc, font);
  RECT rc = client;
  DrawTextA(dc, label.caption.c_str(), static_cast<int>(label.caption.size()), &rc,
            DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_NOPREFIX);
}

void PaintPicture(HDC dc, const RECT& client, const LiveUnit& unit) {
  FillBackground(dc, client, unit.record->picBox.backgroundColor);
  if (!unit.picture) return;
  const PictureRect at = PlacePicture(unit.record->picBox.displayMode, unit.pictureWidth,
                                      unit.pictureHeight, client.right, client.bottom);
  DrawIconEx(dc, at.x, at.y, unit.picture.get(), at.width, at.height, 0, nullptr, DI_NORMAL);
}

// The window procedure of a unit the framework draws itself.
template <void (*Paint)(HDC, const RECT&, const LiveUnit&)>
LRESULT CALLBACK SelfDrawnProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE:
      return StoreCreationUnit(hwnd, lparam) && DefWindowProcA(hwnd, message, wparam, lparam);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintDc dc(hwnd);
      if (const LiveUnit* unit = UnitOf(hwnd)) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        Paint(dc.get(), rc, *unit);
      }
      return 0;
    }
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

void RegisterClassOnce(const char* name, WNDPROC proc, UINT style, HICON icon, HICON small_icon) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), name, &wc)) return;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  wc.hIcon = icon;
  wc.hIconSm = small_icon;
  RegisterClassExA(&wc);
}

}  // namespace

COLORREF ResolveColor(uint32_t stored, int system_color) {
  return stored == kDefaultColor ? GetSysColor(system_color) : static_cast<COLORREF>(stored);
}

void RegisterFrameworkClasses() {
  RegisterClassOnce(kWindowClassName, LiveWindowProc, CS_DBLCLKS, nullptr, nullptr);
  RegisterClassOnce(kLabelClassName, SelfDrawnProc<PaintLabel>, 0, nullptr, nullptr);
  RegisterClassOnce(kPictureClassName, SelfDrawnProc<PaintPicture>, 0, nullptr, nullptr);
}

void LoadUnitPicture(LiveUnit& unit) {
  const std::vector<uint8_t>& file = unit.record->picBox.picture;
  ByteCursor c(file.data(), file.size());
  uint16_t reserved, type, count;
  uint8_t width, height;
  uint32_t size, offset;
  if (!c.ReadU16(&reserved) || !c.ReadU16(&type) || !c.ReadU16(&count) || type != 1 || count == 0 ||
      !c.ReadU8(&width) || !c.ReadU8(&height) || !c.PeekU32At(kIconHeaderBytes + 8, &size) ||
      !c.PeekU32At(kIconHeaderBytes + 12, &offset))
    return;
  ByteSpan image;
  if (file.size() < kIconHeaderBytes + kIconDirEntryBytes ||
      !ByteSpan(file.data(), file.size()).Slice(offset, size, &image))
    return;
  unit.pictureWidth = width ? width : kFullSizeDimension;
  unit.pictureHeight = height ? height : kFullSizeDimension;
  unit.picture.reset(CreateIconFromResourceEx(
      const_cast<BYTE*>(image.data()), static_cast<DWORD>(image.size()), TRUE, kIconFormatVersion,
      unit.pictureWidth, unit.pictureHeight, LR_DEFAULTCOLOR));
}

}  // namespace vantorico

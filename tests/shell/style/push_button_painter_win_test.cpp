#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "shell/style/painters_win.h"
#include "shell/style/style_colours.h"
#include "shell/style/style_constants.h"
#include "tests/shell/style/pixel_canvas_win.h"

namespace vantorico::style {
namespace {

using style_testing::Near;
using style_testing::PixelCanvas;

constexpr int kW = 75;
constexpr int kH = 23;
constexpr int kGradientTolerance = 12;  // rows just above a gradient's end

PaintInput Button(uint32_t state, int scheme, const char* caption = "") {
  PaintInput in{};
  in.width = kW;
  in.height = kH;
  in.kind = kKindPushButton;
  in.state = state;
  in.scheme = scheme;
  in.style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
  in.caption = caption;
  return in;
}

COLORREF Face() {
  return GetSysColor(COLOR_BTNFACE);
}

struct Bounds {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  int count = 0;
};

// Pixels of exactly one colour inside the face.
Bounds PixelsOf(const PixelCanvas& c, COLORREF colour) {
  Bounds b;
  for (int y = 4; y < kH - 4; ++y) {
    for (int x = 4; x < kW - 4; ++x) {
      if (c.At(x, y) != colour) continue;
      ++b.count;
      b.left = std::min(b.left, x);
      b.top = std::min(b.top, y);
      b.right = std::max(b.right, x);
      b.bottom = std::max(b.bottom, y);
    }
  }
  return b;
}

TEST(PushButtonPainter, FramesBorderPerSchemeAndRoundedCorners) {
  const COLORREF borders[] = {RGB(0, 60, 115), RGB(55, 98, 6), RGB(0, 60, 116)};
  for (int scheme = 1; scheme <= 3; ++scheme) {
    SCOPED_TRACE(scheme);
    PixelCanvas c(kW, kH);
    DrawPushButton(c.dc(), Button(0, scheme));
    const COLORREF border = borders[scheme - 1];
    EXPECT_EQ(c.At(0, 0), Face());
    EXPECT_EQ(c.At(kW / 2, kH - 1), Face());
    EXPECT_EQ(c.At(kW / 2, 1), border);
    EXPECT_EQ(c.At(kW - 2, kH / 2), border);
    for (POINT p : {POINT{1, 1}, POINT{1, kH - 2}, POINT{kW - 2, kH - 2}, POINT{kW - 2, 1}}) {
      EXPECT_EQ(c.At(p.x, p.y), Face()) << p.x << "," << p.y;
    }
    for (POINT p :
         {POINT{2, 2}, POINT{2, kH - 3}, POINT{kW - 3, kH - 3}, POINT{kW - 3, 2}, POINT{1, 2},
          POINT{2, 1}, POINT{kW - 3, 1}, POINT{kW - 2, 2}, POINT{kW - 3, kH - 2},
          POINT{kW - 2, kH - 3}, POINT{2, kH - 2}, POINT{1, kH - 3}}) {
      EXPECT_EQ(c.At(p.x, p.y), border) << p.x << "," << p.y;
    }
  }
}

TEST(PushButtonPainter, BandAndFaceColoursPerState) {
  struct Case {
    uint32_t state;
    int scheme;
    COLORREF bandTop, bandBottom, faceTop;
    COLORREF faceTopRight;  // the scheme-1 pressed face is a four-colour quad
  } cases[] = {
      {0, 1, RGB(255, 255, 255), RGB(226, 223, 214), RGB(252, 252, 251), RGB(252, 252, 251)},
      {kStateHot, 1, RGB(255, 240, 207), RGB(229, 151, 0), RGB(252, 252, 251), RGB(252, 252, 251)},
      {kStatePressed | kStateHot, 1, RGB(209, 204, 193), RGB(242, 241, 238), RGB(231, 227, 222),
       RGB(231, 231, 231)},
      {kStateFocused, 1, RGB(206, 231, 255), RGB(105, 130, 238), RGB(252, 252, 251),
       RGB(252, 252, 251)},
      {kStateDefault, 2, RGB(255, 240, 207), RGB(229, 151, 0), RGB(252, 252, 251),
       RGB(252, 252, 251)},
      {kStateDefault, 3, RGB(206, 231, 255), RGB(105, 130, 238), RGB(252, 252, 251),
       RGB(252, 252, 251)},
      {kStatePressed, 2, RGB(239, 227, 206), RGB(239, 227, 206), RGB(239, 227, 206),
       RGB(239, 227, 206)},
      {kStatePressed, 3, RGB(239, 227, 206), RGB(239, 227, 206), RGB(179, 178, 197),
       RGB(179, 178, 197)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(::testing::Message() << "state " << k.state << " scheme " << k.scheme);
    PixelCanvas c(kW, kH);
    DrawPushButton(c.dc(), Button(k.state, k.scheme));
    EXPECT_EQ(c.At(3, 2), k.bandTop);
    EXPECT_EQ(c.At(kW / 2, 2), k.bandTop);
    EXPECT_TRUE(Near(c.At(3, kH - 3), k.bandBottom, kGradientTolerance))
        << std::hex << c.At(3, kH - 3);
    if (!(k.state & kStateFocused)) {
      EXPECT_EQ(c.At(4, 4), k.faceTop);
    }
    EXPECT_TRUE(Near(c.At(kW - 5, 4), k.faceTopRight, 4)) << std::hex << c.At(kW - 5, 4);
  }
}

TEST(PushButtonPainter, CheckedBandIsTheFourColourQuad) {
  PixelCanvas c(kW, kH);
  DrawPushButton(c.dc(), Button(kStateChecked, 1));
  EXPECT_TRUE(Near(c.At(3, 2), RGB(214, 203, 189), 2)) << std::hex << c.At(3, 2);
  EXPECT_TRUE(Near(c.At(kW - 4, 2), RGB(214, 207, 198), 2)) << std::hex << c.At(kW - 4, 2);
  EXPECT_TRUE(Near(c.At(kW / 2, kH - 3), RGB(247, 243, 239), kGradientTolerance));
  EXPECT_TRUE(Near(c.At(4, 4), RGB(231, 227, 222), 2)) << std::hex << c.At(4, 4);
}

TEST(PushButtonPainter, DisabledIsFlatWithGreyBorderAndText) {
  PixelCanvas c(kW, kH);
  DrawPushButton(c.dc(), Button(kStateDisabled | kStateHot, 1, "HH"));
  const COLORREF band = RGB(245, 244, 234);
  EXPECT_EQ(c.At(3, 2), band);
  EXPECT_EQ(c.At(4, 4), band);
  EXPECT_EQ(c.At(3, kH - 3), band);
  EXPECT_EQ(c.At(kW / 2, 1), Darker(Face(), 0x20));
  EXPECT_EQ(c.At(2, 2), Darker(Face(), 0x15));
  EXPECT_EQ(c.At(1, 2), Darker(Face(), 0x11));
  EXPECT_EQ(c.At(1, 1), Face());
  EXPECT_GT(PixelsOf(c, RGB(165, 162, 148)).count, 0);
  EXPECT_EQ(PixelsOf(c, RGB(0, 0, 0)).count, 0);
}

TEST(PushButtonPainter, CaptionIsBlackAndMovesByOnePixelWhenPressed) {
  PixelCanvas normal(kW, kH);
  DrawPushButton(normal.dc(), Button(0, 1, "HH"));
  PixelCanvas pressed(kW, kH);
  DrawPushButton(pressed.dc(), Button(kStatePressed, 1, "HH"));
  const Bounds a = PixelsOf(normal, RGB(0, 0, 0));
  const Bounds b = PixelsOf(pressed, RGB(0, 0, 0));
  ASSERT_GT(a.count, 0);
  EXPECT_EQ(b.count, a.count);
  EXPECT_EQ(b.left, a.left + 1);
  EXPECT_EQ(b.top, a.top + 1);
  EXPECT_EQ(b.right, a.right + 1);
  EXPECT_EQ(b.bottom, a.bottom + 1);
  // Centred in the face by default.
  EXPECT_NEAR((a.left + a.right) / 2.0, kW / 2.0, 2.0);
}

TEST(PushButtonPainter, FocusRectangleOnlyWhenFocused) {
  PixelCanvas focused(kW, kH);
  DrawPushButton(focused.dc(), Button(kStateFocused, 1));
  PixelCanvas plain(kW, kH);
  DrawPushButton(plain.dc(), Button(kStateDefault, 1));
  int differing = 0;
  for (int x = 3; x < kW - 3; ++x) differing += focused.At(x, 3) != plain.At(x, 3);
  EXPECT_GT(differing, 0);
  EXPECT_EQ(focused.At(kW / 2, kH / 2), plain.At(kW / 2, kH / 2));
}

}  // namespace
}  // namespace vantorico::style

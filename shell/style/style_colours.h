#pragma once
// The colour tables of the three schemes. Colours are 0x00BBGGRR, the layout
// of a Win32 COLORREF, so the Win32 side passes them on unchanged.
#include <cstdint>

#include "shell/style/style_constants.h"

namespace vantorico::style {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
  return r | (g << 8) | (b << 16);
}
constexpr uint32_t RedOf(uint32_t c) {
  return c & 0xFF;
}
constexpr uint32_t GreenOf(uint32_t c) {
  return (c >> 8) & 0xFF;
}
constexpr uint32_t BlueOf(uint32_t c) {
  return (c >> 16) & 0xFF;
}

// Each channel darker by `amount`, stopping at 0.
constexpr uint32_t Darker(uint32_t c, uint32_t amount) {
  auto channel = [amount](uint32_t v) { return v > amount ? v - amount : 0u; };
  return Rgb(channel(RedOf(c)), channel(GreenOf(c)), channel(BlueOf(c)));
}

struct GradientQuad {
  uint32_t topLeft;
  uint32_t topRight;
  uint32_t bottomLeft;
  uint32_t bottomRight;
};

constexpr GradientQuad Vertical(uint32_t top, uint32_t bottom) {
  return {top, top, bottom, bottom};
}
constexpr GradientQuad Flat(uint32_t c) {
  return {c, c, c, c};
}
constexpr bool IsVertical(const GradientQuad& q) {
  return q.topLeft == q.topRight && q.bottomLeft == q.bottomRight;
}

constexpr uint32_t kBlack = Rgb(0, 0, 0);
constexpr uint32_t kWhite = Rgb(255, 255, 255);

// How much darker than the button face the disabled look's lines are.
constexpr uint32_t kDisabledBorderDarken = 0x20;
constexpr uint32_t kDisabledBandCornerDarken = 0x15;
constexpr uint32_t kDisabledBorderNeighbourDarken = 0x11;

// Push button.
constexpr uint32_t kPushBorder[kSchemeCount] = {Rgb(0, 60, 115), Rgb(55, 98, 6), Rgb(0, 60, 116)};
constexpr uint32_t kDisabledBand = Rgb(245, 244, 234);
constexpr uint32_t kGreyCaption = Rgb(165, 162, 148);

enum PushQuad : int {
  kQuadBandPressed = 0,
  kQuadBandHot = 1,
  kQuadBandChecked = 2,
  kQuadBandFocused = 3,
  kQuadBandNormal = 4,
  kQuadFacePressed = 5,
  kQuadFaceNormal = 6,
  kPushQuadCount = 7,
};

constexpr GradientQuad kHotBand = Vertical(Rgb(255, 240, 207), Rgb(229, 151, 0));
constexpr GradientQuad kCheckedBand = {Rgb(214, 203, 189), Rgb(214, 207, 198), Rgb(247, 243, 239),
                                       Rgb(247, 243, 239)};
constexpr GradientQuad kBlueBand = Vertical(Rgb(206, 231, 255), Rgb(105, 130, 238));
constexpr GradientQuad kNormalBand = Vertical(Rgb(255, 255, 255), Rgb(226, 223, 214));

constexpr GradientQuad kPushQuads[kSchemeCount][kPushQuadCount] = {
    {Vertical(Rgb(209, 204, 193), Rgb(242, 241, 238)),
     kHotBand,
     kCheckedBand,
     kBlueBand,
     kNormalBand,
     {Rgb(231, 227, 222), Rgb(231, 231, 231), Rgb(231, 227, 222), Rgb(231, 227, 222)},
     Vertical(Rgb(252, 252, 251), Rgb(236, 235, 230))},
    {Flat(Rgb(239, 227, 206)), kHotBand, kCheckedBand, kHotBand, kNormalBand,
     Flat(Rgb(239, 227, 206)), Vertical(Rgb(252, 252, 251), Rgb(236, 225, 201))},
    {Flat(Rgb(239, 227, 206)), kHotBand, kCheckedBand, kBlueBand, kNormalBand,
     Vertical(Rgb(179, 178, 197), Rgb(252, 252, 251)),
     Vertical(Rgb(252, 252, 251), Rgb(198, 197, 215))},
};

// Edit, combo box and combo list frames.
constexpr uint32_t kEditBorder[kSchemeCount] = {Rgb(123, 158, 189), Rgb(164, 185, 127),
                                                Rgb(198, 197, 215)};

// Arrow buttons: quads 0-3 fill, 4-7 corner pixels, 8-11 inside; each group
// disabled, pressed, hot, normal.
enum ArrowLook : int {
  kArrowDisabled = 0,
  kArrowPressed = 1,
  kArrowHot = 2,
  kArrowNormal = 3,
};
constexpr int kArrowCornerQuads = 4;
constexpr int kArrowInsideQuads = 8;
constexpr int kArrowQuadCount = 12;

constexpr GradientQuad kArrowFillDisabled = {Rgb(247, 243, 239), Rgb(231, 231, 222),
                                             Rgb(231, 227, 222), Rgb(231, 227, 222)};
constexpr GradientQuad kArrowCornersDisabled = {Rgb(247, 247, 247), Rgb(247, 243, 239),
                                                Rgb(247, 243, 239), Rgb(247, 243, 239)};
constexpr GradientQuad kArrowInsideDisabled = {Rgb(247, 247, 247), Rgb(239, 239, 231),
                                               Rgb(239, 235, 231), Rgb(231, 231, 222)};
constexpr GradientQuad kArrowCornersPressed = {Rgb(189, 195, 222), Rgb(173, 182, 222),
                                               Rgb(222, 227, 255), Rgb(222, 227, 247)};
constexpr GradientQuad kArrowCornersHot = {Rgb(206, 219, 239), Rgb(198, 207, 239),
                                           Rgb(198, 207, 231), Rgb(189, 203, 231)};

constexpr GradientQuad kArrowQuads[kSchemeCount][kArrowQuadCount] = {
    {kArrowFillDisabled,
     {Rgb(165, 174, 222), Rgb(189, 203, 247), Rgb(115, 130, 222), Rgb(181, 199, 247)},
     {Rgb(181, 199, 239), Rgb(148, 174, 231), Rgb(132, 162, 222), Rgb(140, 166, 222)},
     {Rgb(214, 227, 255), Rgb(189, 203, 247), Rgb(173, 195, 247), Rgb(181, 199, 247)},
     kArrowCornersDisabled,
     kArrowCornersPressed,
     kArrowCornersHot,
     {Rgb(231, 239, 255), Rgb(222, 231, 255), Rgb(222, 227, 255), Rgb(222, 227, 247)},
     kArrowInsideDisabled,
     {Rgb(107, 142, 247), Rgb(132, 150, 247), Rgb(140, 158, 239), Rgb(214, 223, 239)},
     {Rgb(255, 255, 255), Rgb(206, 227, 255), Rgb(198, 223, 255), Rgb(189, 219, 255)},
     {Rgb(231, 235, 255), Rgb(189, 207, 255), Rgb(181, 203, 255), Rgb(173, 203, 247)}},
    // Olive.
    {kArrowFillDisabled, Flat(Rgb(111, 122, 95)), Flat(Rgb(164, 175, 146)),
     Flat(Rgb(142, 153, 125)), kArrowCornersDisabled, kArrowCornersPressed, kArrowCornersHot,
     Flat(Rgb(176, 185, 160)), kArrowInsideDisabled, Flat(Rgb(126, 138, 107)),
     Flat(Rgb(186, 197, 166)), Flat(Rgb(164, 176, 140))},
    // Grey and white.
    {kArrowFillDisabled, Flat(Rgb(165, 164, 183)), Flat(Rgb(220, 220, 232)),
     Flat(Rgb(198, 197, 215)), kArrowCornersDisabled, Flat(Rgb(200, 199, 214)),
     Flat(Rgb(236, 236, 242)), Flat(Rgb(222, 222, 232)), kArrowInsideDisabled,
     Flat(Rgb(187, 186, 204)), Flat(kWhite), Flat(Rgb(242, 242, 247))},
};

constexpr uint32_t kChevron[kSchemeCount] = {Rgb(123, 158, 189), kWhite, kBlack};
constexpr uint32_t kChevronDisabled = Rgb(206, 203, 198);

// Check box and radio button.
constexpr uint32_t kCheckBorder = Rgb(24, 81, 132);
constexpr uint32_t kCheckMark = Rgb(33, 162, 33);
constexpr uint32_t kCheckMarkDisabled = Rgb(206, 203, 189);
constexpr GradientQuad kCheckPressed = Vertical(Rgb(176, 176, 167), Rgb(250, 250, 249));
constexpr GradientQuad kCheckHot = Vertical(Rgb(255, 240, 207), Rgb(248, 179, 48));
constexpr GradientQuad kCheckNormal = Vertical(Rgb(220, 220, 215), Rgb(255, 255, 255));

// Group box.
constexpr uint32_t kGroupFrame = Rgb(191, 184, 191);

// Schemes outside 1..3 (stored when the style is switched off) read as scheme 1.
constexpr int SchemeIndex(int scheme) {
  return (scheme >= kFirstScheme && scheme <= kLastScheme) ? scheme - kFirstScheme : 0;
}

}  // namespace vantorico::style

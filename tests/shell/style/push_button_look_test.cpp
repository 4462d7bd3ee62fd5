#include "shell/style/push_button_look.h"

#include <gtest/gtest.h>

#include "shell/style/style_constants.h"

namespace vantorico::style {
namespace {

constexpr uint32_t kFace = Rgb(240, 240, 240);

bool SameQuad(const GradientQuad& a, const GradientQuad& b) {
  return a.topLeft == b.topLeft && a.topRight == b.topRight && a.bottomLeft == b.bottomLeft &&
         a.bottomRight == b.bottomRight;
}

TEST(PushButtonLook, BorderPerScheme) {
  EXPECT_EQ(DecidePushButtonLook(0, 1, kFace).borderColour, Rgb(0, 60, 115));
  EXPECT_EQ(DecidePushButtonLook(0, 2, kFace).borderColour, Rgb(55, 98, 6));
  EXPECT_EQ(DecidePushButtonLook(0, 3, kFace).borderColour, Rgb(0, 60, 116));
  const PushButtonLook normal = DecidePushButtonLook(0, 1, kFace);
  EXPECT_EQ(normal.bandCornerColour, normal.borderColour);
  EXPECT_EQ(normal.borderNeighbourColour, normal.borderColour);
}

TEST(PushButtonLook, BandByStateInPriorityOrder) {
  const uint32_t all = kStatePressed | kStateHot | kStateChecked | kStateFocused | kStateDefault;
  EXPECT_TRUE(SameQuad(DecidePushButtonLook(all, 1, kFace).band,
                       Vertical(Rgb(209, 204, 193), Rgb(242, 241, 238))));
  EXPECT_TRUE(SameQuad(DecidePushButtonLook(all & ~kStatePressed, 1, kFace).band,
                       Vertical(Rgb(255, 240, 207), Rgb(229, 151, 0))));
  EXPECT_TRUE(SameQuad(DecidePushButtonLook(kStateIndeterminate | kStateDefault, 1, kFace).band,
                       kCheckedBand));
  EXPECT_EQ(DecidePushButtonLook(kStateChecked, 1, kFace).band.topRight, Rgb(214, 207, 198));
  EXPECT_TRUE(SameQuad(DecidePushButtonLook(kStateDefault, 1, kFace).band,
                       Vertical(Rgb(206, 231, 255), Rgb(105, 130, 238))));
  EXPECT_TRUE(SameQuad(DecidePushButtonLook(kStateFocused, 2, kFace).band,
                       Vertical(Rgb(255, 240, 207), Rgb(229, 151, 0))));
  EXPECT_TRUE(SameQuad(DecidePushButtonLook(0, 3, kFace).band,
                       Vertical(Rgb(255, 255, 255), Rgb(226, 223, 214))));
  EXPECT_TRUE(
      SameQuad(DecidePushButtonLook(kStatePressed, 2, kFace).band, Flat(Rgb(239, 227, 206))));
}

TEST(PushButtonLook, FaceByState) {
  PushButtonLook l = DecidePushButtonLook(0, 1, kFace);
  ASSERT_TRUE(l.hasFace);
  EXPECT_TRUE(SameQuad(l.face, Vertical(Rgb(252, 252, 251), Rgb(236, 235, 230))));
  l = DecidePushButtonLook(kStateChecked, 1, kFace);
  EXPECT_EQ(l.face.topLeft, Rgb(231, 227, 222));
  EXPECT_EQ(l.face.topRight, Rgb(231, 231, 231));
  l = DecidePushButtonLook(kStatePressed, 3, kFace);
  EXPECT_TRUE(SameQuad(l.face, Vertical(Rgb(179, 178, 197), Rgb(252, 252, 251))));
  EXPECT_TRUE(SameQuad(DecidePushButtonLook(0, 2, kFace).face,
                       Vertical(Rgb(252, 252, 251), Rgb(236, 225, 201))));
  EXPECT_TRUE(SameQuad(DecidePushButtonLook(0, 3, kFace).face,
                       Vertical(Rgb(252, 252, 251), Rgb(198, 197, 215))));
}

TEST(PushButtonLook, DisabledIsFlatAndGrey) {
  PushButtonLook l = DecidePushButtonLook(kStateDisabled | kStateHot | kStateFocused, 1, kFace);
  EXPECT_TRUE(SameQuad(l.band, Flat(Rgb(245, 244, 234))));
  EXPECT_FALSE(l.hasFace);
  EXPECT_EQ(l.borderColour, Rgb(208, 208, 208));
  EXPECT_EQ(l.bandCornerColour, Rgb(219, 219, 219));
  EXPECT_EQ(l.borderNeighbourColour, Rgb(223, 223, 223));
  EXPECT_EQ(l.textColour, Rgb(165, 162, 148));
  // Pressed or checked still get the pressed face.
  l = DecidePushButtonLook(kStateDisabled | kStateChecked, 1, kFace);
  EXPECT_TRUE(l.hasFace);
  EXPECT_EQ(l.face.topRight, Rgb(231, 231, 231));
  // Dark channels stop at 0.
  EXPECT_EQ(DecidePushButtonLook(kStateDisabled, 1, Rgb(16, 100, 32)).borderColour, Rgb(0, 68, 0));
}

TEST(PushButtonLook, CaptionColourShiftAndFocus) {
  EXPECT_EQ(DecidePushButtonLook(0, 1, kFace).textColour, Rgb(0, 0, 0));
  EXPECT_EQ(DecidePushButtonLook(kStateIndeterminate, 1, kFace).textColour, kGreyCaption);
  EXPECT_EQ(DecidePushButtonLook(kStatePressed, 1, kFace).captionShift, 1);
  EXPECT_EQ(DecidePushButtonLook(kStateHot, 1, kFace).captionShift, 0);
  EXPECT_TRUE(DecidePushButtonLook(kStateFocused, 1, kFace).focusRectangle);
  EXPECT_FALSE(DecidePushButtonLook(kStateDefault, 1, kFace).focusRectangle);
}

TEST(PushButtonLook, OutOfRangeSchemeReadsAsSchemeOne) {
  EXPECT_EQ(DecidePushButtonLook(0, 0, kFace).borderColour, Rgb(0, 60, 115));
  EXPECT_EQ(DecidePushButtonLook(0, 9, kFace).borderColour, Rgb(0, 60, 115));
}

TEST(ArrowLook, IndexByState) {
  EXPECT_EQ(ArrowLookOf(true, true, true), kArrowDisabled);
  EXPECT_EQ(ArrowLookOf(false, true, true), kArrowPressed);
  EXPECT_EQ(ArrowLookOf(false, false, true), kArrowHot);
  EXPECT_EQ(ArrowLookOf(false, false, false), kArrowNormal);
}

TEST(ArrowTables, SharedDisabledQuads) {
  for (int s = 1; s < kSchemeCount; ++s) {
    for (int q : {0, 4, 8}) {
      EXPECT_TRUE(SameQuad(kArrowQuads[s][q], kArrowQuads[0][q])) << s << " " << q;
    }
  }
  EXPECT_TRUE(SameQuad(kArrowQuads[1][5], kArrowQuads[0][5]));
  EXPECT_TRUE(SameQuad(kArrowQuads[1][6], kArrowQuads[0][6]));
  EXPECT_TRUE(SameQuad(kArrowQuads[1][3], Flat(Rgb(142, 153, 125))));
}

}  // namespace
}  // namespace vantorico::style

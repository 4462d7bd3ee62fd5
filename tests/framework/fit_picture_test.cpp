#include "framework/fit_picture.h"

#include <gtest/gtest.h>

namespace vantorico {
namespace {

TEST(FitPicture, LogoInThePictureBox) {
  EXPECT_EQ(FitPicture(100, 100, 80, 48), (PictureRect{16, 0, 48, 48}));
}

TEST(FitPicture, SmallerPicturesAreCentredAtTheirSize) {
  EXPECT_EQ(FitPicture(32, 32, 80, 48), (PictureRect{24, 8, 32, 32}));
  EXPECT_EQ(FitPicture(80, 48, 80, 48), (PictureRect{0, 0, 80, 48}));
  EXPECT_EQ(FitPicture(33, 47, 80, 48), (PictureRect{23, 0, 33, 47}));
}

TEST(FitPicture, LargerPicturesScaleByTheTighterSide) {
  // Wider than the box: width decides.
  EXPECT_EQ(FitPicture(160, 48, 80, 48), (PictureRect{0, 12, 80, 24}));
  // Only one side too large still scales both.
  EXPECT_EQ(FitPicture(50, 96, 80, 48), (PictureRect{27, 0, 25, 48}));
  // Sizes are truncated: 7 * 0.5 = 3.5 gives 3.
  EXPECT_EQ(FitPicture(10, 7, 5, 100), (PictureRect{0, 48, 5, 3}));
}

TEST(FitPicture, OtherDisplayModes) {
  EXPECT_EQ(PlacePicture(0, 100, 100, 80, 48), (PictureRect{0, 0, 100, 100}));
  EXPECT_EQ(PlacePicture(1, 100, 100, 80, 48), (PictureRect{0, 0, 80, 48}));
  EXPECT_EQ(PlacePicture(2, 100, 100, 80, 48), (PictureRect{16, 0, 48, 48}));
  EXPECT_EQ(FitPicture(0, 10, 80, 48), (PictureRect{}));
}

}  // namespace
}  // namespace vantorico

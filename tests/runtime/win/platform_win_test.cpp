// The Wine session the Windows tests run in: code page 936 and a CJK font
// that answers to "宋体".
#include <windows.h>

#include <gtest/gtest.h>

#include "base/win_handles.h"

namespace vantorico {
namespace {

TEST(Platform, AnsiCodePageIs936) {
  EXPECT_EQ(GetACP(), 936u);
}

TEST(Platform, SongTiResolvesToACjkFont) {
  LOGFONTA lf = {};
  lf.lfHeight = -12;
  lf.lfCharSet = GB2312_CHARSET;
  lstrcpyA(lf.lfFaceName, "宋体");
  UniqueFont font(CreateFontIndirectA(&lf));
  ASSERT_TRUE(font);
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  SelectedObject selected(dc.get(), font.get());
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc.get(), sizeof face, face);
  EXPECT_STREQ(face, "宋体");
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc.get(), &tm);
  EXPECT_EQ(tm.tmCharSet, GB2312_CHARSET);
  // A CJK glyph exists: its width is not the default character's.
  SIZE size = {};
  GetTextExtentPoint32A(dc.get(), "提", 2, &size);
  EXPECT_GE(size.cx, 10);
}

}  // namespace
}  // namespace vantorico

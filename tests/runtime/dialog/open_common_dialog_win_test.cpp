// The real system file dialog, driven from the test: the watcher types a path
// into the file name box and confirms, or cancels.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/win_handles.h"
#include "runtime/dialog/common_dlg_settings.h"
#include "runtime/dialog/open_common_dialog_win.h"
#include "tests/support/dialog_watcher_win.h"

namespace vantorico {
namespace {

using testing_support::DialogWatcher;
using testing_support::WindowText;

constexpr int kFileNameBox = 0x47C;  // cmb13
constexpr int kFileTypeBox = 0x470;  // cmb1

struct DialogLook {
  std::string caption;
  std::string fileNameBox;
  std::vector<std::string> fileTypes;
  int selectedType = -1;
  bool ownerEnabled = true;
};

DialogLook Look(HWND dialog, HWND owner) {
  DialogLook look;
  look.caption = WindowText(dialog);
  look.fileNameBox = WindowText(GetDlgItem(dialog, kFileNameBox));
  HWND types = GetDlgItem(dialog, kFileTypeBox);
  const int count = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char item[128] = {};
    SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    look.fileTypes.emplace_back(item);
  }
  look.selectedType = static_cast<int>(SendMessageA(types, CB_GETCURSEL, 0, 0));
  look.ownerEnabled = IsWindowEnabled(owner) != FALSE;
  return look;
}

class OpenCommonDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                             nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner_, nullptr);
    edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, owner_, nullptr,
                            nullptr, nullptr);
    SetFocus(edit_);
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    dir_ = std::string(temp) + "vantorico_对话框";
    CreateDirectoryA(dir_.c_str(), nullptr);
    for (const char* name : {"\\甲.exe", "\\乙.exe"}) {
      const std::string path = dir_ + name;
      UniqueFile file(
          CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
      ASSERT_TRUE(file);
      files_.push_back(path);
    }
    settings_.dialogType = kDialogOpenFile;
    settings_.filter = "应用程序(*.exe)|*.exe|所有文件|*.*";
    settings_.initialDirectory = dir_;
  }
  void TearDown() override {
    for (const std::string& f : files_) DeleteFileA(f.c_str());
    RemoveDirectoryA(dir_.c_str());
    DestroyWindow(owner_);
  }

  // Runs the dialog; path fills the file name box first (none: keep it), then
  // the dialog is closed with answer.
  bool Run(const char* path, int answer, DialogLook* look) {
    DialogWatcher watcher;
    watcher.QueueAnswer(answer);
    watcher.OnDialog([&](HWND dialog) {
      *look = Look(dialog, owner_);
      if (path) SetDlgItemTextA(dialog, kFileNameBox, path);
    });
    const bool result = OpenCommonDialog(settings_, owner_);
    EXPECT_EQ(watcher.seen().size(), 1u);
    return result;
  }

  HWND owner_ = nullptr;
  HWND edit_ = nullptr;
  std::string dir_;
  std::vector<std::string> files_;
  CommonDlgSettings settings_;
};

TEST_F(OpenCommonDialogTest, PickCancelAndStartWithThePreviousPath) {
  DialogLook look;
  // First browse, cancelled: false and no file name.
  EXPECT_FALSE(Run(files_[0].c_str(), IDCANCEL, &look));
  EXPECT_TRUE(settings_.fileName.empty());
  EXPECT_FALSE(look.ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_EQ(look.fileNameBox, "");

  // Pick: true and the full path.
  EXPECT_TRUE(Run(files_[0].c_str(), IDOK, &look));
  ASSERT_FALSE(settings_.fileName.empty());
  EXPECT_EQ(settings_.fileName, files_[0]);
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_EQ(GetFocus(), edit_);

  // The next dialog starts with that path; cancelling it leaves the path.
  EXPECT_FALSE(Run(files_[1].c_str(), IDCANCEL, &look));
  EXPECT_NE(look.fileNameBox.find("甲.exe"), std::string::npos) << look.fileNameBox;
  ASSERT_FALSE(settings_.fileName.empty());
  EXPECT_EQ(settings_.fileName, files_[0]);

  // And a second pick replaces it.
  EXPECT_TRUE(Run(files_[1].c_str(), IDOK, &look));
  EXPECT_EQ(settings_.fileName, files_[1]);
}

TEST_F(OpenCommonDialogTest, FilterTitleAndInitialFilter) {
  DialogLook look;
  EXPECT_FALSE(Run(nullptr, IDCANCEL, &look));
  EXPECT_EQ(look.fileTypes, (std::vector<std::string>{"应用程序(*.exe)", "所有文件"}));
  EXPECT_EQ(look.selectedType, 0);

  settings_.initialFilter = 1;
  settings_.title = "选择程序";
  EXPECT_FALSE(Run(nullptr, IDCANCEL, &look));
  EXPECT_EQ(look.selectedType, 1);
  EXPECT_EQ(look.caption, "选择程序");

  // A blank filter gives no file-type list.
  settings_.filter = "   ";
  EXPECT_FALSE(Run(nullptr, IDCANCEL, &look));
  EXPECT_TRUE(look.fileTypes.empty());
}

TEST_F(OpenCommonDialogTest, SaveDialogAndUnsupportedKinds) {
  DialogLook look;
  settings_.dialogType = kDialogSaveFile;
  settings_.overwritePrompt = 0;
  const std::string fresh = dir_ + "\\新.exe";
  EXPECT_TRUE(Run(fresh.c_str(), IDOK, &look));
  ASSERT_FALSE(settings_.fileName.empty());
  EXPECT_EQ(settings_.fileName, fresh);

  // The font and help kinds show nothing here.
  settings_.dialogType = kDialogFont;
  DialogWatcher watcher;
  EXPECT_FALSE(OpenCommonDialog(settings_, owner_));
  EXPECT_TRUE(watcher.seen().empty());
  EXPECT_EQ(settings_.fileName, fresh);
}

TEST(FallbackDialogOwner, ActiveWindowsLastPopup) {
  HWND main = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                              nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(main, nullptr);
  SetActiveWindow(main);
  EXPECT_EQ(FallbackDialogOwner(), GetLastActivePopup(GetActiveWindow()));
  EXPECT_NE(FallbackDialogOwner(), nullptr);
  DestroyWindow(main);
}

}  // namespace
}  // namespace vantorico

// The drop target under OLE: registered on a real window, driven through the
// pointer OLE keeps for that window, with data objects made here.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/drop/drop_target_unit_win.h"
#include "tests/shell/drop/test_data_object_win.h"

namespace vantorico {
namespace {

using testing_support::TestDataObject;

constexpr char kOleTargetProperty[] = "OleDropTargetInterface";
constexpr DWORD kAllEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
const HRESULT kDropFailed = E_FAIL;
constexpr char kWindowClass[] = "VantoricoDropTestWindow";

// A plain top-level window (a STATIC one is transparent to hit-testing, so
// OLE's drag loop would look through it).
HWND MakeWindow(const char* title, DWORD style, int x, int y, int w, int h) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kWindowClass;
  RegisterClassA(&wc);
  return CreateWindowExA(0, kWindowClass, title, style, x, y, w, h, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

struct Fired {
  int eventIndex;
  bool hadText;
  std::string text;
};

class DropTargetTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    window_ = MakeWindow("drop", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    unit_.reset();
    DestroyWindow(window_);
    OleUninitialize();
  }

  void MakeUnit(DropTargetSettings settings, bool goOn = true) {
    unit_ = std::make_unique<DropTargetUnit>(
        window_, settings, [this, goOn](int index, const char* text) {
          fired_.push_back(Fired{index, text != nullptr, text ? text : ""});
          return goOn;
        });
  }

  // The target OLE calls for the window.
  IDropTarget* Registered() const {
    return static_cast<IDropTarget*>(GetPropA(window_, kOleTargetProperty));
  }

  // A whole drag: enter, one move, drop. Returns the effects seen at each step.
  struct Drag {
    DWORD enter, over, drop;
    HRESULT result;
  };
  Drag DragAndDrop(IDataObject* data, DWORD keys, DWORD allowed = kAllEffects) {
    IDropTarget* target = Registered();
    Drag d{allowed, allowed, allowed, S_OK};
    POINTL at{150, 150};
    EXPECT_EQ(target->DragEnter(data, keys, at, &d.enter), S_OK);
    EXPECT_EQ(target->DragOver(keys, at, &d.over), S_OK);
    d.result = target->Drop(data, keys, at, &d.drop);
    return d;
  }

  HWND window_ = nullptr;
  std::unique_ptr<DropTargetUnit> unit_;
  std::vector<Fired> fired_;
};

const DropTargetSettings kToolSettings{0, 0, 0, 1};

TEST_F(DropTargetTest, SinkAnswersOnlyForItsInterfaces) {
  MakeUnit(kToolSettings);
  DropTargetSink& sink = unit_->sink();
  EXPECT_EQ(sink.referenceCount(), 1u);
  void* out = nullptr;
  EXPECT_EQ(sink.QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(out, static_cast<IDropTarget*>(&sink));
  EXPECT_EQ(sink.referenceCount(), 2u);
  sink.Release();
  EXPECT_EQ(sink.QueryInterface(IID_IDropTarget, &out), S_OK);
  sink.Release();
  EXPECT_EQ(sink.QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(sink.QueryInterface(IID_IDropSource, &out), E_NOINTERFACE);
  EXPECT_EQ(sink.referenceCount(), 1u);
  EXPECT_EQ(sink.AddRef(), 2u);
  EXPECT_EQ(sink.Release(), 1u);
}

TEST_F(DropTargetTest, RegisterOnceThenRefusedAndRevokedWithTheUnit) {
  MakeUnit(kToolSettings);
  EXPECT_EQ(Registered(), nullptr);
  EXPECT_TRUE(unit_->RegisterFileDrop(window_));
  EXPECT_EQ(unit_->registeredWindow(), window_);
  EXPECT_EQ(Registered(), static_cast<IDropTarget*>(&unit_->sink()));
  EXPECT_GT(unit_->sink().referenceCount(), 1u);

  HWND other = MakeWindow("other", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50);
  EXPECT_FALSE(unit_->RegisterFileDrop(window_));
  EXPECT_FALSE(unit_->RegisterFileDrop(other));
  EXPECT_EQ(unit_->registeredWindow(), window_);
  EXPECT_EQ(GetPropA(other, kOleTargetProperty), nullptr);

  unit_.reset();
  EXPECT_EQ(Registered(), nullptr);
  // The window is free for another target now.
  DropTargetUnit again(window_, kToolSettings, nullptr);
  EXPECT_TRUE(again.RegisterFileDrop(window_));
  DestroyWindow(other);
}

TEST_F(DropTargetTest, FailedRegistrationStillCountsAndLeavesTheOtherTarget) {
  DropTargetUnit first(window_, kToolSettings, nullptr);
  ASSERT_TRUE(first.RegisterFileDrop(window_));
  MakeUnit(kToolSettings);
  EXPECT_FALSE(unit_->RegisterFileDrop(window_));
  EXPECT_EQ(unit_->registeredWindow(), window_);
  EXPECT_FALSE(unit_->RegisterFileDrop(window_));
  unit_.reset();
  // The failed unit's end did not revoke the first unit's registration.
  EXPECT_EQ(Registered(), static_cast<IDropTarget*>(&first.sink()));
}

TEST_F(DropTargetTest, FileDrops) {
  MakeUnit(kToolSettings);
  ASSERT_TRUE(unit_->RegisterFileDrop(window_));
  struct Case {
    std::vector<std::string> paths;
    bool wide;
    bool hasText;
    std::string text;
  };
  const Case cases[] = {
      {{"C:\\测试\\甲.exe"}, false, true, "C:\\测试\\甲.exe"},
      {{"C:\\测试\\甲.exe"}, true, true, "C:\\测试\\甲.exe"},
      {{"C:\\a.exe", "D:\\数据\\乙 文件.dat", "Z:\\tmp\\東.ico"},
       false,
       true,
       "C:\\a.exe\r\nD:\\数据\\乙 文件.dat\r\nZ:\\tmp\\東.ico\r\n"},
      // An empty list fires with the empty text.
      {{}, false, false, ""},
  };
  for (const Case& c : cases) {
    fired_.clear();
    TestDataObject data;
    data.OfferFiles(c.paths, c.wide);
    const Drag d = DragAndDrop(&data, MK_LBUTTON, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_EQ(d.enter, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(d.over, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(d.drop, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(d.result, kDropFailed);
    ASSERT_EQ(fired_.size(), 1u) << c.text;
    EXPECT_EQ(fired_[0].eventIndex, FilesDropped);
    EXPECT_EQ(fired_[0].hadText, c.hasText);
    EXPECT_EQ(fired_[0].text, c.text);
    EXPECT_EQ(data.referenceCount(), 1u);
  }
}

TEST_F(DropTargetTest, RefusedDrags) {
  MakeUnit(kToolSettings);
  ASSERT_TRUE(unit_->RegisterFileDrop(window_));

  // Text only: nothing the unit takes.
  TestDataObject text;
  text.Offer(CF_TEXT, "hello");
  Drag d = DragAndDrop(&text, 0);
  EXPECT_EQ(d.enter, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(d.drop, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(d.result, kDropFailed);
  EXPECT_FALSE(unit_->sink().accepting());

  // Files with Ctrl+Shift: a link, never granted.
  TestDataObject files;
  files.OfferFiles({"C:\\a.exe"});
  d = DragAndDrop(&files, MK_CONTROL | MK_SHIFT);
  EXPECT_EQ(d.enter, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(d.drop, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_TRUE(unit_->sink().accepting());
  EXPECT_EQ(files.getDataCalls(), 0);
  EXPECT_TRUE(fired_.empty());

  // Ctrl alone copies; Shift alone moves.
  d = DragAndDrop(&files, MK_CONTROL);
  EXPECT_EQ(d.drop, static_cast<DWORD>(DROPEFFECT_COPY));
  d = DragAndDrop(&files, MK_SHIFT);
  EXPECT_EQ(d.drop, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_EQ(fired_.size(), 2u);

  // Leaving clears the answer; a later move shows no drop.
  IDropTarget* target = Registered();
  DWORD effect = kAllEffects;
  POINTL at{0, 0};
  target->DragEnter(&files, 0, at, &effect);
  EXPECT_TRUE(unit_->sink().accepting());
  EXPECT_EQ(target->DragLeave(), S_OK);
  EXPECT_FALSE(unit_->sink().accepting());
  effect = kAllEffects;
  target->DragOver(0, at, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
}

TEST_F(DropTargetTest, NothingAcceptedKeepsThePreviousAnswer) {
  MakeUnit(kToolSettings);
  TestDataObject files;
  files.OfferFiles({"C:\\a.exe"});
  DropTargetSink& sink = unit_->sink();
  DWORD effect = kAllEffects;
  sink.DragEnter(&files, 0, POINTL{0, 0}, &effect);
  EXPECT_TRUE(sink.accepting());
  unit_->WriteProperty(AcceptFiles, 0);
  TestDataObject empty;
  effect = kAllEffects;
  sink.DragEnter(&empty, 0, POINTL{0, 0}, &effect);
  EXPECT_TRUE(sink.accepting());
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
}

TEST_F(DropTargetTest, TextHtmlAndLinkKinds) {
  MakeUnit(DropTargetSettings{1, 1, 1, 1});
  ASSERT_TRUE(unit_->RegisterFileDrop(window_));
  const UINT html = RegisterClipboardFormatA("HTML Format");
  const UINT link = RegisterClipboardFormatA("UniformResourceLocator");

  // Everything at once: HTML takes the text's place; order HTML, link, files.
  TestDataObject all;
  all.Offer(CF_TEXT, "plain");
  all.Offer(html, "a\xC2\xA0\xE6\x96\x87");  // "a", no-break space, U+6587 in UTF-8
  all.Offer(link, "http://example.com/");
  all.OfferFiles({"C:\\a.exe"});
  DragAndDrop(&all, 0);
  ASSERT_EQ(fired_.size(), 3u);
  EXPECT_EQ(fired_[0].eventIndex, HtmlDropped);
  EXPECT_EQ(fired_[0].text, "a 文");
  EXPECT_EQ(fired_[1].eventIndex, UrlDropped);
  EXPECT_EQ(fired_[1].text, "http://example.com/");
  EXPECT_EQ(fired_[2].eventIndex, FilesDropped);
  EXPECT_EQ(fired_[2].text, "C:\\a.exe");

  // Plain text alone fires TextDropped.
  fired_.clear();
  TestDataObject text;
  text.Offer(CF_TEXT, "纯文本");
  DragAndDrop(&text, 0);
  ASSERT_EQ(fired_.size(), 1u);
  EXPECT_EQ(fired_[0].eventIndex, TextDropped);
  EXPECT_EQ(fired_[0].text, "纯文本");
}

TEST_F(DropTargetTest, ACallbackThatReportsFailureStopsTheRest) {
  MakeUnit(DropTargetSettings{1, 1, 1, 1}, false);
  TestDataObject data;
  data.Offer(CF_TEXT, "plain");
  data.Offer(RegisterClipboardFormatA("UniformResourceLocator"), "http://x/");
  data.OfferFiles({"C:\\a.exe"});
  DWORD effect = kAllEffects;
  unit_->sink().DragEnter(&data, 0, POINTL{0, 0}, &effect);
  effect = kAllEffects;
  EXPECT_EQ(unit_->sink().Drop(&data, 0, POINTL{0, 0}, &effect), kDropFailed);
  ASSERT_EQ(fired_.size(), 1u);
  EXPECT_EQ(fired_[0].eventIndex, TextDropped);
}

// A source whose button is released after a few looks: OLE's own drag loop
// finds the window under the cursor, enters it and drops there.
class InstantDropSource final : public IDropSource {
 public:
  virtual ~InstantDropSource() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return ++looks_ < kLooksBeforeDrop ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  static constexpr int kLooksBeforeDrop = 4;
  int looks_ = 0;
};

TEST_F(DropTargetTest, OleDragLoopDeliversTheDrop) {
  MakeUnit(kToolSettings);
  ASSERT_TRUE(unit_->RegisterFileDrop(window_));
  SetWindowPos(window_, HWND_TOP, 100, 100, 300, 200, SWP_SHOWWINDOW);
  RECT r = {};
  GetWindowRect(window_, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  TestDataObject data;
  data.OfferFiles({"C:\\测试\\甲.exe", "C:\\测试\\乙.exe"});
  InstantDropSource source;
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT hr = DoDragDrop(&data, &source, DROPEFFECT_COPY, &effect);
  // OLE hands the target's answer to the source.
  EXPECT_EQ(hr, kDropFailed);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  ASSERT_EQ(fired_.size(), 1u);
  EXPECT_EQ(fired_[0].eventIndex, FilesDropped);
  EXPECT_EQ(fired_[0].text, "C:\\测试\\甲.exe\r\nC:\\测试\\乙.exe\r\n");
}

}  // namespace
}  // namespace vantorico

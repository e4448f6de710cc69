// The application's clipboard over a scripted system clipboard: the cache and when the text
// is read again, empty copies and their mark, another program's copies, the edit requests
// and their way to the focused control.

#include "QZFramework/System/Clipboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QZFramework/ControlBase/ControlTestSupport.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "Support/FakeApplicationContext.h"
#include "Support/FakeClipboardBackend.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"

namespace QZ {
namespace {

std::u16string TextOf(const ConstRCPtr<LStringWrapper>& text) {
  return text ? std::u16string(text->View()) : std::u16string(u"(null)");
}

// A control that takes text: the edits it can run now, and those it ran.
class EditableControl : public QZTest::TestControl {
public:
  EditableControl(const RCPtr<LControl>& parent, const WString& name) : TestControl(parent, name, nullptr) {}

  bool acceptsText = true;
  bool canEdit[4] = {true, true, true, true};
  std::vector<int32_t> edits;
  QZResult editResult = QZ_OK;

  bool AcceptsTextInput() override { return acceptsText; }
  bool CanPaste(int32_t editCode) override { return editCode >= 0 && editCode < 4 && canEdit[editCode]; }
  QZResult PerformEdit(int32_t editCode) override {
    edits.push_back(editCode);
    return editResult;
  }
};

// A control whose keyboard target is another control.
class ForwardingControl : public QZTest::TestControl {
public:
  ForwardingControl(const RCPtr<LControl>& parent, const WString& name) : TestControl(parent, name, nullptr) {}
  RCPtr<LControl> target;
  RCPtr<LControl> GetKeyboardTarget() override { return target; }
};

class ClipboardTest : public ::testing::Test {
protected:
  ClipboardTest() {
    context.SetApplicationNotificationCenter(centre.Get());
    application.activeRootWindow = window;
    application.clipboard = clipboard;
    editor->Place(0, 0, 100, 20);
  }
  ConstRCPtr<LStringWrapper> Text(const char16_t* text) { return MakeStringableWrapper(WString(text)); }

  // Another program copies utf8 ("" empties the clipboard), and the window layer reports it.
  void AnotherProgramCopies(const std::string& utf8) {
    system->text = utf8;
    EXPECT_EQ(clipboard->OnClipboardUpdate(), QZ_OK);
  }
  // Delivers request through the application centre, as the hot keys and menus raise it.
  void Raise(NotificationName request) {
    ASSERT_EQ(centre->PostNotification(LNotification::Create(request)), QZ_OK);
    centre->ProcessNotifications(false);
  }

  QZTest::ScopedFakeClipboard system;
  QZTest::FakeApplicationContext context;
  QZTest::FakeControlApplication application;
  const RCPtr<LNotificationCenter> centre = LNotificationCenter::CreateNotificationCenter(u"application");
  const RCPtr<QZTest::FakeRootWindow> window{new QZTest::FakeRootWindow};
  const RCPtr<LClipboard> clipboard{new LClipboard};
  const RCPtr<EditableControl> editor{new EditableControl(nullptr, u"editor")};
};

TEST_F(ClipboardTest, ACopyIsPastedFromTheCacheWithoutReadingTheSystem) {
  EXPECT_EQ(clipboard->SetText(Text(u"Preset 12")), QZ_OK);
  EXPECT_EQ(system->text, "Preset 12");
  EXPECT_EQ(TextOf(clipboard->GetText()), u"Preset 12");
  EXPECT_EQ(TextOf(clipboard->GetText()), u"Preset 12");
  EXPECT_EQ(system->reads, 0);
  EXPECT_EQ(system->writes, 1);
}

TEST_F(ClipboardTest, AnEmptyCopyIsMarkedAndTheCacheHoldsUntilAnotherProgramWrites) {
  AnotherProgramCopies("before");
  EXPECT_EQ(clipboard->SetText(Text(u"")), QZ_OK);
  EXPECT_EQ(system->text, "");
  EXPECT_TRUE(Platform::Clipboard::IsClipboardFormatAvailable(Platform::Clipboard::kEmptiedFormat));
  const int reads = system->reads;
  EXPECT_EQ(TextOf(clipboard->GetText()), u"");
  EXPECT_EQ(TextOf(clipboard->GetText()), u"");
  EXPECT_EQ(system->reads, reads);

  AnotherProgramCopies("theirs");
  EXPECT_FALSE(Platform::Clipboard::IsClipboardFormatAvailable(Platform::Clipboard::kEmptiedFormat));
  EXPECT_EQ(TextOf(clipboard->GetText()), u"theirs");
}

TEST_F(ClipboardTest, AnotherProgramsTextIsReadAgainAtEveryQuery) {
  AnotherProgramCopies("first");
  EXPECT_EQ(TextOf(clipboard->GetText()), u"first");
  system->text = "second"; // no update reaches a program that does not own the clipboard
  EXPECT_EQ(TextOf(clipboard->GetText()), u"second");
  system->text = "\xC3\x9Cn\xC3\xAF"
                 "code \xE2\x9C\x93";
  EXPECT_EQ(TextOf(clipboard->GetText()), u"\u00DCn\u00EFcode \u2713");
}

TEST_F(ClipboardTest, AnotherProgramEmptyingItClearsTheCacheAndPasteTurnsOff) {
  // The stand-in for a text box: paste is possible while the clipboard holds text.
  editor->canEdit[LControl::kEditPaste] = false;
  window->focusedControl = editor;
  ASSERT_EQ(clipboard->SetText(Text(u"abc")), QZ_OK);
  const auto holdsText = [this] {
    const ConstRCPtr<LStringWrapper> text = clipboard->GetText();
    return text && !text->IsEmpty();
  };
  editor->canEdit[LControl::kEditPaste] = holdsText();
  EXPECT_TRUE(clipboard->CanPerformEdit(LControl::kEditPaste));

  AnotherProgramCopies("");
  EXPECT_EQ(TextOf(clipboard->GetText()), u"(null)");
  editor->canEdit[LControl::kEditPaste] = holdsText();
  EXPECT_FALSE(clipboard->CanPerformEdit(LControl::kEditPaste));
}

TEST_F(ClipboardTest, LosingTheClipboardForgetsTheCacheWithoutTouchingTheSystem) {
  ASSERT_EQ(clipboard->SetText(Text(u"mine")), QZ_OK);
  EXPECT_EQ(clipboard->OnDestroyClipboard(), QZ_OK);
  EXPECT_EQ(system->text, "mine");
  EXPECT_EQ(system->writes, 1);
  EXPECT_EQ(clipboard->SetText(nullptr), QZ_OK);
  EXPECT_EQ(system->writes, 1);
}

TEST_F(ClipboardTest, FailuresOfTheSystemKeepTheCacheOrAnswerFail) {
  system->refuseWrites = true;
  EXPECT_EQ(clipboard->SetText(Text(u"refused")), QZ_E_FAIL);
  EXPECT_EQ(clipboard->SetText(Text(u"")), QZ_E_FAIL);
  system->refuseWrites = false;

  AnotherProgramCopies("readable");
  EXPECT_EQ(TextOf(clipboard->GetText()), u"readable");
  system->refuseReads = true;
  system->text = "unreadable";
  EXPECT_EQ(TextOf(clipboard->GetText()), u"readable");
  system->refuseReads = false;

  // A round that someone else keeps open: the clipboard cannot be opened.
  ASSERT_TRUE(Platform::Clipboard::OpenClipboard());
  EXPECT_EQ(TextOf(clipboard->GetText()), u"readable");
  EXPECT_EQ(clipboard->SetText(Text(u"blocked")), QZ_E_FAIL);
  ASSERT_TRUE(Platform::Clipboard::CloseClipboard());
  EXPECT_EQ(system->text, "unreadable");
}

TEST_F(ClipboardTest, TheSystemCallingBackDuringAWriteDoesNotClearTheNewText) {
  system->duringWrite = [this] { EXPECT_EQ(clipboard->SetText(nullptr), QZ_FALSE); };
  EXPECT_EQ(clipboard->SetText(Text(u"kept")), QZ_OK);
  EXPECT_EQ(TextOf(clipboard->GetText()), u"kept");
}

TEST_F(ClipboardTest, EditRequestsGoToTheFocusedControlsKeyboardTarget) {
  ASSERT_EQ(clipboard->Initialize(), QZ_OK);
  const RCPtr<ForwardingControl> outer(new ForwardingControl(nullptr, u"outer"));
  outer->target = editor;
  window->focusedControl = outer;

  Raise(u"NID_EDIT_CUT_REQ");
  Raise(u"NID_EDIT_COPY_REQ");
  Raise(u"NID_EDIT_PASTE_REQ");
  Raise(u"NID_EDIT_DELETE_REQ");
  Raise(u"NID_EDIT_SELECT_ALL_REQ"); // not the clipboard's
  EXPECT_EQ(editor->edits, (std::vector<int32_t>{1, 2, 3, 0}));

  editor->editResult = QZ_E_FAIL;
  EXPECT_EQ(clipboard->PerformEditRequest(LControl::kEditCopy), QZ_E_FAIL);
  EXPECT_TRUE(clipboard->CanPerformEdit(LControl::kEditCopy));
}

TEST_F(ClipboardTest, RequestsWithoutAnEditTargetAnswerOneAndChangeNothing) {
  ASSERT_EQ(clipboard->Initialize(), QZ_OK);
  ASSERT_EQ(clipboard->SetText(Text(u"kept")), QZ_OK);
  struct Case {
    const char* name;
    bool active;
    bool focused;
    bool acceptsText;
    bool canEdit;
  };
  const Case cases[] = {
      {"no active window", false, true, true, true},
      {"no focused control", true, false, true, true},
      {"a control without text", true, true, false, true},
      {"an edit it cannot run now", true, true, true, false},
  };
  for (const Case& c : cases) {
    application.activeRootWindow = c.active ? RCPtr<IRootWindow>(window) : nullptr;
    window->focusedControl = c.focused ? RCPtr<LControl>(editor) : nullptr;
    editor->acceptsText = c.acceptsText;
    editor->canEdit[LControl::kEditCut] = c.canEdit;
    EXPECT_EQ(clipboard->PerformEditRequest(LControl::kEditCut), QZ_FALSE) << c.name;
    EXPECT_FALSE(clipboard->CanPerformEdit(LControl::kEditCut)) << c.name;
    Raise(u"NID_EDIT_CUT_REQ");
  }
  EXPECT_TRUE(editor->edits.empty());
  EXPECT_EQ(system->writes, 1);
  EXPECT_EQ(TextOf(clipboard->GetText()), u"kept");
}

TEST_F(ClipboardTest, AFailedSubscriptionThrowsWithItsLine) {
  context.SetApplicationNotificationCenter(nullptr);
  try {
    clipboard->Initialize();
    FAIL() << "no exception";
  } catch (const std::exception& failure) {
    EXPECT_STREQ(failure.what(),
                 R"(Failed Result : QZRESULT = 80070057 : QZ::LClipboard::Initialize : System\ClipBoard : Line 41)");
  }
}

TEST_F(ClipboardTest, ReleasedItHearsNoMoreRequests) {
  ASSERT_EQ(clipboard->Initialize(), QZ_OK);
  window->focusedControl = editor;
  clipboard->ReleaseInternalReferences();
  Raise(u"NID_EDIT_COPY_REQ");
  EXPECT_TRUE(editor->edits.empty());
}

} // namespace
} // namespace QZ

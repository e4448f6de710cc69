#pragma once
// The text box's and the numeric up-down's tests' world: a widget skin (TextBox.xml or
// UpDown.xml) with the words of TextBoxStrings.xml, the application's clipboard over a
// scripted system clipboard, the application's notification centre (where the clipboard
// hears the edit requests), and LC_CTYPE "C.UTF-8" as the program takes it from a desktop.
//
//   QZTest::TextWorld world("TextBox.xml");
//   auto box = world.Create<QZ::LTextBox>(u"boxes", u"plain");
//   world.Type(box, u"abc");                                  // three character events
//   world.Press(box, 0x25, QZ::kModifierShift);               // Shift+Left
//   world.Drain();                                            // posted requests delivered

#include <clocale>
#include <functional>
#include <string>

#include "QZFramework/Controls/NumericUpDown.h"
#include "QZFramework/Controls/TextBox.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/System/Clipboard.h"
#include "Support/FakeApplicationContext.h"
#include "Support/FakeClipboardBackend.h"
#include "WidgetSkinTestSupport.h"

namespace QZTest {

// Sets the C library's LC_CTYPE for its lifetime, then puts the one before back.
class ScopedCharacterLocale {
public:
  explicit ScopedCharacterLocale(const char* name) : mPrevious(std::setlocale(LC_CTYPE, nullptr)) {
    mActive = std::setlocale(LC_CTYPE, name) != nullptr;
  }
  ~ScopedCharacterLocale() { std::setlocale(LC_CTYPE, mPrevious.c_str()); }
  ScopedCharacterLocale(const ScopedCharacterLocale&) = delete;
  ScopedCharacterLocale& operator=(const ScopedCharacterLocale&) = delete;

  bool Active() const { return mActive; }

private:
  std::string mPrevious;
  bool mActive = false;
};

class TextWorld {
public:
  explicit TextWorld(const std::string& skinFile)
      : skin(skinFile, [](QZ::LControlFactory& factory) {
          factory.RegisterControlCreateFunction(u"Framework.TextBox", &QZ::CreateControlOf<QZ::LTextBox>);
          factory.RegisterControlCreateFunction(u"Framework.NumericUpDown", &QZ::CreateControlOf<QZ::LNumericUpDown>);
        }) {
    context.SetApplicationNotificationCenter(centre.Get());
    strings = skin.application.factory->LoadStringTables(QZ::WString(WidgetSkinFile("TextBoxStrings.xml").c_str()),
                                                         QZ::WString(), 0x0409);
    skin.application.clipboard = clipboard;
    clipboard->Initialize();
  }
  ~TextWorld() { skin.application.clipboard = nullptr; }
  TextWorld(const TextWorld&) = delete;
  TextWorld& operator=(const TextWorld&) = delete;

  // The top control top, installed in the window, with its notifications subscribed as
  // the window does; then the control at path below it, as a T.
  template <class T>
  QZ::RCPtr<T> Create(const char16_t* top, std::initializer_list<const char16_t*> path) {
    if (!skin.Create(top)) {
      return nullptr;
    }
    skin.top->SubscribeNotifications();
    return skin.Find<T>(path);
  }

  // One character event per UTF-16 unit of text, as the OS window sends them; the last
  // answer.
  static QZ::QZResult Type(const QZ::RCPtr<QZ::LControl>& control, const std::u16string& text, uint32_t mask = 0) {
    QZ::QZResult answer = QZ::QZ_OK;
    for (char16_t unit : text) {
      answer = control->OnKey(QZ::LKeyParam::Create(QZ::KeyCode(unit, mask), true));
    }
    return answer;
  }
  // A virtual key pressed with the modifier mask, the way the root window hands it to the
  // focused control: its answer.
  static QZ::QZResult Press(const QZ::RCPtr<QZ::LControl>& control, uint8_t virtualKey, uint32_t mask = 0) {
    return control->OnKey(KeyPress(virtualKey, mask));
  }
  // Delivers what waits in the application centre.
  void Drain() { centre->ProcessNotifications(false); } // whether more waits: nothing does

  ScopedCharacterLocale ctype{"C.UTF-8"};
  ScopedFakeClipboard system;
  FakeApplicationContext context;
  const QZ::RCPtr<QZ::LNotificationCenter> centre = QZ::LNotificationCenter::CreateNotificationCenter(u"application");
  WidgetSkin skin;
  const QZ::RCPtr<QZ::LClipboard> clipboard{new QZ::LClipboard};
  QZ::QZResult strings = QZ::QZ_E_FAIL;
};

} // namespace QZTest

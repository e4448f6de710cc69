#include "QZFramework/Application/ErrorText.h"

#include <stdexcept>

#include "QZFramework/Application/FrameworkApp.h"

namespace QZ {

WString FormatErrorText(int32_t code) {
  WString text;
  if (const LFrameworkApp* application = LFrameworkApp::Get();
      application && LookupString(application->GetStringTable().Get(), u"EXCEPTION_ID", text)) {
    try {
      return WString::Format(text.GetBuffer(), code);
    } catch (const std::invalid_argument&) {
      // A translation whose conversion does not take the code: the built-in text says it.
    }
  }
  return WString::Format(u"The application encountered problems during startup and will now close.  (Error code = %d)",
                         code);
}

} // namespace QZ

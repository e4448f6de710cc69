#include "QZFramework/Application/ErrorText.h"

namespace QZ {

WString FormatErrorText(int32_t code) {
  return WString::Format(u"The application encountered problems during startup and will now close.  (Error code = %d)",
                         code);
}

} // namespace QZ

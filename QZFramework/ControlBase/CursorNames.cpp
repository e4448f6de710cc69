#include "QZFramework/ControlBase/CursorNames.h"

namespace QZ::CursorNames {

namespace {

// Never destroyed: a control may ask for a cursor while static objects go away.
const WString& Shared(const char16_t* text) { return *new WString(text); }

} // namespace

const WString& DropMove() {
  static const WString& name = Shared(u"UI_CURSOR_DROP_MOVE");
  return name;
}
const WString& DropCopy() {
  static const WString& name = Shared(u"UI_CURSOR_DROP_COPY");
  return name;
}
const WString& SplitV() {
  static const WString& name = Shared(u"UI_CURSOR_SPLIT_V");
  return name;
}
const WString& SplitH() {
  static const WString& name = Shared(u"UI_CURSOR_SPLIT_H");
  return name;
}
const WString& Rotate() {
  static const WString& name = Shared(u"UI_CURSOR_ROTATE");
  return name;
}
const WString& Mag() {
  static const WString& name = Shared(u"UI_CURSOR_MAG");
  return name;
}
const WString& MagPlus() {
  static const WString& name = Shared(u"UI_CURSOR_MAG_PLUS");
  return name;
}
const WString& MagMinus() {
  static const WString& name = Shared(u"UI_CURSOR_MAG_MINUS");
  return name;
}

} // namespace QZ::CursorNames

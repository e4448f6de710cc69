#pragma once
// Notification ids: a notification's name, interned once per process. The id is the
// address of the interned copy of the name's text, so two ids are equal exactly when
// they are the same pointer, and an id is itself a valid name.
//
//   QZ::NotificationID idle = QZ::GetNotificationID(u"NID_IDLE");
//   QZ::GetNotificationID(idle) == idle;             // interning an id gives the id
//   QZ::GetNotificationID(copyOfTheText) == idle;    // whatever buffer holds the text
//
// Every operation of the notification classes that takes a name interns it first, so
// callers pass either a literal name or an id. The program's names are upper-case and
// begin with "NID_". Ids stay valid until the process ends.

namespace QZ {

// A NUL-terminated UTF-16 notification name, or an id.
using NotificationName = const char16_t*;
// The interned text of a name; null stands for no notification.
using NotificationID = const char16_t*;

// The id of name: null for a null or empty name. Any thread.
NotificationID GetNotificationID(NotificationName name);

} // namespace QZ

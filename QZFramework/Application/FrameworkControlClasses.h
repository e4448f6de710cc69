#pragma once
// The widget set's control classes as the skins name them ("Framework.Button" ...): one
// table of class name and create function, in the order the framework's start-up
// registers them (LFrameworkApp::RunApplicationStartup). Names that share a class share its
// create function; the program's own table (its "PresetEditor." names) uses the same
// functions for its panels, tab controls and labels.
//
//   for (const QZ::ControlClassEntry& entry : QZ::FrameworkControlClasses()) {
//     factory->RegisterControlCreateFunction(QZ::WString(entry.name), entry.create);
//   }
//
// Constant data; any thread.

#include <span>

#include "QZFramework/ControlBase/ControlDescriptor.h"

namespace QZ {

struct ControlClassEntry {
  // The skin's class name (a literal: zero-terminated).
  const char16_t* name;
  ControlCreateFunction create;
};

// The 40 "Framework." class names in registration order.
std::span<const ControlClassEntry> FrameworkControlClasses();

} // namespace QZ

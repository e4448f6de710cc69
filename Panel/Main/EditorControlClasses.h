#pragma once
// The editor's control classes as its skins name them ("PresetEditor.MainControl" ...): one
// table of class name and create function, in registration order. Its panels, tab controls
// and labels are made by the very functions the widget set registers for "Framework.Panel",
// "Framework.TabControl" and "Framework.Label".
//
//   QZ::RegisterEditorControlClasses(*factory);     // the editor's start-up
//
// Constant data; any thread.

#include <span>

#include "QZFramework/Application/FrameworkControlClasses.h"
#include "QZFramework/ControlBase/ControlFactory.h"

namespace QZ {

// The 123 "PresetEditor." class names in registration order.
std::span<const ControlClassEntry> EditorControlClasses();

// Registers every class of the table with factory. A registration cannot fail but for a name
// registered already, which keeps its first function. UI thread.
void RegisterEditorControlClasses(LControlFactory& factory);

} // namespace QZ

#pragma once
// Drag proxies: visible controls that the user picks up with the left button, drags across
// the window and that disappear when the drag ends. QZ::LFileDropper ("Framework.FileDropper")
// carries a text, QZ::LDropper ("Framework.Dropper") a reference; both behave as
// QZ::LDragProxy: the control's drag-and-drop mode does the moving (and the drop targets'
// side), the proxy only starts it and goes away after it.
//
//   factory->RegisterControlCreateFunction(u"Framework.FileDropper", &QZ::CreateControlOf<QZ::LFileDropper>);
//   QZ::RCPtr<QZ::LFileDropper> proxy = QZ::DynamicCast<QZ::LFileDropper>(factory->CreateControl(top, entry));
//   proxy->SetPayload(u"/home/user/Preset.QuorinZTRPreset");
//   // pressed, dragged, released: hidden at once, taken from its parent at the next idle tick
//
// UI thread, like every control.

#include "QZFramework/ControlBase/Control.h"

namespace QZ {

class LDragProxy : public LControl {
public:
  // Shows the control and keeps it out of the focus. 0.
  QZResult OnLookChanged() override;
  // A left press puts the control in the drag-and-drop state on both axes with the layout
  // order 0; nothing else changes anything. 0.
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // The base ends the drag, then the parent removes the control at its next idle tick. The
  // base's result.
  QZResult OnDragEnd() override;

protected:
  LDragProxy(const RCPtr<LControl>& parent, const WString& name);
  ~LDragProxy() override;
};

class LFileDropper : public LDragProxy {
public:
  LFileDropper(const RCPtr<LControl>& parent, const WString& name);

  // The text carried (empty after construction).
  const WString& GetPayload() const { return mPayload; }
  void SetPayload(const WString& payload) { mPayload = payload; }

private:
  WString mPayload;
};

class LDropper : public LDragProxy {
public:
  LDropper(const RCPtr<LControl>& parent, const WString& name);

  // The object carried (null after construction).
  const RCPtr<LRefCountedObject>& GetPayload() const { return mPayload; }
  void SetPayload(const RCPtr<LRefCountedObject>& payload) { mPayload = payload; }

private:
  RCPtr<LRefCountedObject> mPayload;
};

} // namespace QZ

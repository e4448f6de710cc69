#pragma once
// QZ::LMainControl ("PresetEditor.MainControl"): the content of the editor's main window and
// the user interface's root module. Every edit of a panel reaches the engine through it
// (RequestParamChange), and every value the engine announces ("NID_PARAM_MODULE_STATE_CHANGE"
// on the "application" centre) is shown by it on the panel module that owns the value's id
// (ApplyParamValues). The panel tree under it mirrors the engine's module tree: its child
// "viewDevice" is the device module (IDevice), which routes ids to the edit panels.
//
//   // A panel's edit, from a selector's handler:
//   auto main = QZ::DynamicCast<QZ::LMainControl>(GetRootControl());
//   if (main) (void)main->RequestParamChange(bound, value, 0);   // the engine's result
//
//   // The engine's announcement, delivered in the idle pass:
//   //   pair {id 127, {08}}  ->  viewDevice's module for 127 ->SetParamValueLocal({127}, {08}, true)
//   // While that runs, a request for id 127 (the panel answering its own display) is not
//   // sent back: RequestParamChange answers 1 without calling the engine.
//
// The engine is the application context's (QZ::GetApplicationContext()->GetRootModuleEngine());
// without one the main control binds its tree from id 0 and sends nothing.
// UI thread, like every control.

#include <cstdint>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Panel.h"

class LRootModuleEngine;

namespace QZ {

class LMainControl : public LHandlerTableControl<LMainControl, LControl>, public ::IRootModule {
public:
  // Status pseudo-ids of the engine's announcements: they reach no panel.
  static constexpr int32_t kConnectionStatusId = -2;
  static constexpr int32_t kDeviceListStatusId = -4;
  static constexpr int32_t kDeviceTextStatusId = -8;

  LMainControl(const RCPtr<LControl>& parent, const WString& name);
  ~LMainControl() override;

  // --- The control -------------------------------------------------------------------

  // The control's own initialisation, its handler table, its children "viewDevice"
  // (required: an IDevice), "viewStatus" and "panelDeviceSelector" (optional panels), the
  // subscription to the engine's announcements and the binding of the tree from the
  // engine's first id; then, whatever happened, the engine's remote-device polling on.
  // The base's result, or QZ_E_FAIL when no handler table could be made (nothing bound).
  // Throws "Runtime Error : Null Pointer : LMainControl couldn't find viewDevice :
  // QZ::LMainControl::Initialize : UI\DriverCommon\MainControl : Line 39" without the
  // device view, and "Failed Result : QZRESULT = <code> : QZ::LMainControl::Initialize :
  // UI\DriverCommon\MainControl : Line 44" when the subscription is refused.
  QZResult Initialize() override;
  // A skin applied to the window's top control: polling on; 0, the window keeps its bounds.
  int32_t AdjustRootWindowBounds(RectT<double>& bounds) override;

  // The handler of "NID_PARAM_MODULE_STATE_CHANGE": a QZ::LParamValuePair is applied, a
  // QZ::LWrapper<QZ::ParamValues> List is applied entry by entry in list order (the
  // entries counted up to the first malformed length word), anything else is ignored. 1.
  QZResult OnParamModuleStateChange(const RCPtr<LNotificationDistributor>& distributor,
                                    const RCPtr<LNotification>& notification);
  // Shows value on the module that owns descriptor's id (SetParamValueLocal(descriptor,
  // value, true)): nothing for an Empty value, for the status ids and for an id no module
  // owns. The descriptor is "being applied" for the duration of the call. 0.
  int32_t ApplyParamValues(const ParamDescriptor& descriptor, const Variant& value);
  // The descriptor ApplyParamValues is applying: id 0xFFFFFFFF and Empty at other times.
  const ParamDescriptor& GetParamBeingApplied() const { return mApplying; }

  // The children found by Initialize; null before it (or when absent).
  const RCPtr<::IDevice>& GetDeviceView() const { return mDevice; }
  const RCPtr<LPanel>& GetStatusView() const { return mStatusView; }
  const RCPtr<LPanel>& GetDeviceSelectorPanel() const { return mDeviceSelector; }

  // --- The root module (IRootModule) -----------------------------------------------------

  // The one entry of the panels' edits: the engine's SetParamValue(descriptor, value) and
  // its result; 1, nothing sent, when descriptor is the one being applied (the echo of a
  // value coming from the engine); QZ_E_FAIL without an engine. reason is not used.
  int32_t RequestParamChange(const ParamDescriptor& descriptor, const Variant& value, int32_t reason) override;
  // The user interface holds no module-addressed modules: null.
  RCPtr<LParameterizedModule> GetModuleRaw(uint32_t id) override;
  // The user interface holds no values (the engine does): QZ_E_NOTIMPL.
  int32_t SetParamValueByID(const ParamDescriptor& descriptor, const Variant& value) override;
  int32_t GetParamValueByID(const ParamDescriptor& descriptor, Variant& value) override;
  // The device view's IDevice face; null before Initialize.
  RCPtr<::IDevice> GetDeviceRaw() override;

  // The control's cycles first (children, registrations), then the base test.
  QZResult ReleaseInternalReferences() override { return LControl::ReleaseInternalReferences(); }

private:
  // The application's engine; null when there is none.
  static LRootModuleEngine* Engine();
  static void EnableRemoteDevicePolling();

  ParamDescriptor mApplying{0xFFFFFFFFu};
  // Released in the reverse order: the selector panel, the status view, the device view.
  RCPtr<::IDevice> mDevice;
  RCPtr<LPanel> mStatusView;
  RCPtr<LPanel> mDeviceSelector;
};

} // namespace QZ

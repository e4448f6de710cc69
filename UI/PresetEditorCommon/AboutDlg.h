#pragma once
// LAboutDlg ("PresetEditor.DialogAbout", skin entry "dialogAbout"): the About box. It shows
// the program's version ("labelProduct", "ProductVersion" of the version resource: "1.0.1")
// and copyright ("labelCopyright", "LegalCopyright"), and its "buttonSupport" opens the
// maker's support page ("URL_SUPPORT" of the editor's string table) with the desktop's
// program for it. The dialog's standard buttons close it.
//
//   auto about = QZ::DynamicCast<QZ::LDialog>(factory->CreateControlByName(u"dialogAbout", nullptr));
//   application->CreateRootWindowForControl(about, true);          // shown until closed
//
// UI thread, like every control.

#include "QZFramework/Application/Version.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Dialog.h"

class LAboutDlg : public QZ::LHandlerTableControl<LAboutDlg, QZ::LDialog> {
public:
  using LHandlerTableControl::LHandlerTableControl; // (parent, name)

  // The dialog's; then the version's texts on the labels (a label the skin lacks is
  // skipped; the copyright only when the version was read); then, with its handler table,
  // "buttonSupport"'s clicks heard and its cursor the application's hand. The dialog's
  // failure as it is. The version resource's exceptions pass; throws "Runtime Error : Null
  // Pointer : LSupportPanel couldn't find buttonSupport : LAboutDlg::Initialize :
  // UI\PresetEditorCommon\AboutDlg : Line 138" without the button and "Failed Result :
  // QZRESULT = <code> : ... : Line 139" when its clicks cannot be heard.
  QZ::QZResult Initialize() override;

  // A click of "buttonSupport" opens the "URL_SUPPORT" address; its failure is not told
  // to the user, only to the debug trace.
  // Clicks of other sources do nothing. 1.
  QZ::QZResult OnSupportClick(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                              const QZ::RCPtr<QZ::LNotification>& notification);

  // The version's "LegalCopyright"; empty when it has none.
  static QZ::WString GetCopyright(const QZ::Version& version);
};

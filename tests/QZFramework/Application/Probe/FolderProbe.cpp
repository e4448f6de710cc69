// Prints the program's folder as the host finds it (path id 0), wherever the folder
// tests copy this program.

#include <cstdio>

#include "QZFramework/Application/MFCFrameworkApp.h"

class LApplication : public QZ::LRefCountedObject {
public:
  LApplication(const QZ::RCPtr<QZ::LControlFactory>&, const QZ::RCPtr<QZ::LStringTable>&, const QZ::WString&) {}
  QZ::QZResult OnCommandLine(QZ::CommandLineStage, const QZ::WString&) { return QZ::QZ_OK; }
  QZ::QZResult RunApplicationStartup() { return QZ::QZ_OK; }
  int32_t GetRendererType() { return 1; }
  QZ::QZResult CreateMainWindow(int32_t) { return QZ::QZ_OK; }
  QZ::WString GetMainControlName() { return QZ::WString(u"mainControl"); }
  QZ::QZResult SetMainRootControl(const QZ::WString&) { return QZ::QZ_OK; }
  void Run() {}
  QZ::QZResult RunApplicationShutdown() { return QZ::QZ_OK; }
  bool IsExiting() { return true; }
  bool DoIdleWork(bool) { return false; }
};

int main() {
  QZ::MFCFrameworkApp<LApplication> host;
  const QZ::NString folder(host.GetFolder(0));
  std::fputs(folder.GetBuffer(), stdout);
  return 0;
}

// The editor UI host seam: what the interface's message boxes and texts do with a host
// installed and without one.

#include <gtest/gtest.h>

#include "Support/RecordingEditorUIHost.h"
#include "Support/StringPrinter.h"
#include "UI/EditorUIHost.h"

namespace {

using Box = QZTest::RecordingEditorUIHost::Box;

TEST(EditorUIHostTest, BoxesAndTextsComeFromTheHostAndWithoutOneBoxesGoToStandardError) {
  QZ::RCPtr<QZ::LStringTable> table = QZ::LStringTable::Create({{u"GREETING", u"Hello"}});
  {
    QZTest::RecordingEditorUIHost host(table);
    EXPECT_EQ(GetAppString(u"GREETING"), u"Hello");
    EXPECT_EQ(GetAppString(u"MISSING"), u"");
    host.SetAnswer(7);
    EXPECT_EQ(QZ::ShowEditorMessageBox(u"text", u"caption", 0x30), 7);
    EXPECT_EQ(host.boxes, (std::vector<Box>{{u"text", u"caption", 0x30}}));
  }
  EXPECT_EQ(QZ::GetEditorUIHost(), nullptr);
  EXPECT_EQ(GetAppString(u"GREETING"), u"") << "no host, no table";
  testing::internal::CaptureStderr();
  EXPECT_EQ(QZ::ShowEditorMessageBox(u"Preset file is not compatible", u"Preset File Load", 0x10),
            QZ::kMessageBoxAnswerOk);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Preset File Load: Preset file is not compatible\n");
  QZTest::RecordingEditorUIHost noTable;
  EXPECT_EQ(GetAppString(u"GREETING"), u"");
}

} // namespace

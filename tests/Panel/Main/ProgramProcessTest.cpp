// The program as a process: a skin document without a skin ends the start-up with the
// run's failure text and exit status 1.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ProgramProcess.h"

namespace QZTest {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

TEST(ProgramProcessTest, ASkinDocumentWithoutASkinEndsTheStartupWithTheRunsFailureAndStatusOne) {
  TempFolder folder;
  const std::string resources = folder / "resources";
  std::filesystem::create_directories(resources);
  for (const char* name : {"FrameworkStrings.xml", "StringTables.xml"}) {
    std::filesystem::copy_file(std::string(QZ_PROGRAM_DOCUMENTS) + "/" + name, resources + "/" + name);
  }
  folder.Write("resources/Skins.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Vandrel_Skin_Definitions>"
                                      "<Application Name=\"PresetEditor\"><Skins/></Application>"
                                      "</Vandrel_Skin_Definitions>");
  ProgramProcess program({{"SDL_VIDEODRIVER", "offscreen"},
                          {"QZ_RESOURCE_FOLDER", resources},
                          {"HOME", folder.Path()},
                          {"XDG_CONFIG_HOME", folder / "config"},
                          {"XDG_DATA_HOME", folder / "data"},
                          {"QZ_REGISTRY_FILE", folder / "registry.reg"},
                          {"QZ_VIRTUAL_KEYBOARD", "1"},
                          {"LANG", "C"},
                          {"LC_ALL", ""},
                          {"LC_MESSAGES", ""}},
                         folder);
  ASSERT_TRUE(program.Started());
  const ProgramProcess::Ended ended = program.Wait();
  EXPECT_TRUE(ended.exited) << "ended by signal " << ended.status;
  EXPECT_EQ(ended.status, 1);
  // The failure text, then the error box, which goes to standard error without a display.
  EXPECT_EQ(Lines(ended.errors),
            (std::vector<std::string>{"Failed Result : QZRESULT = 80004005 : QZ::MFCFrameworkApp<class "
                                      "LApplication>::Run : Application/ApplicationBaseWin : Line 380",
                                      "Error: The application encountered problems during startup and will now "
                                      "close."}))
      << ended.errors;
}

} // namespace
} // namespace QZTest

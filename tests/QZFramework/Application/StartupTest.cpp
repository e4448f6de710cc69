// The run function's steps, the start-up's failures and how each ends, the language, the
// folders, the profile and the command line's debug switch as the host honours them.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <filesystem>
#include <sstream>

#include "HostTestSupport.h"
#include "Platform/Instance/InstanceLock.h"
#include "QZFramework/Application/DebugConsoleSwitch.h"
#include "QZFramework/Application/LanguageId.h"

namespace QZTest {
namespace {

using Log = std::vector<std::string>;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

constexpr char16_t kStartupError[] = u"The application encountered problems during startup and will now close.";

class StartupTest : public HostRunTest {
protected:
  // A resource folder with the program's own string tables and, unless left out, the
  // test skin.
  std::string ProgramTablesFolder(bool withSkins) {
    const std::string tables = folder / "resources";
    std::filesystem::create_directories(tables);
    for (const char* name : {"FrameworkStrings.xml", "StringTables.xml"}) {
      std::filesystem::copy_file(std::string(QZ_PROGRAM_DOCUMENTS) + "/" + name, tables + "/" + name);
    }
    if (withSkins) {
      std::filesystem::copy_file(std::string(QZ_APPLICATION_TEST_DATA) + "/Skins.xml", tables + "/Skins.xml");
    }
    return tables;
  }
};

TEST_F(StartupTest, ANormalRunTakesTheStepsInOrderShowsTheMainWindowAndReleasesEverything) {
  bool shownWhileRunning = false;
  Step([&] {
    shownWhileRunning = Win::IsWindowVisible(QZ::HostApp::Get()->GetMainWindow());
    return Quit();
  });
  TestHost host(SteppedServices());
  EXPECT_EQ(Run("editor \"C:\\a b\""), 0);
  EXPECT_EQ(script.log.front(), "OnCommandLine(before)");
  Log steps;
  for (const std::string& entry : script.log) {
    if (entry.rfind("DoIdleWork", 0) != 0 && entry.rfind("OnIdle", 0) != 0 && entry != "wait") {
      steps.push_back(entry);
    }
  }
  EXPECT_EQ(steps, (Log{"OnCommandLine(before)", "RunApplicationStartup", "OnCommandLine(after)", "CreateMainWindow(1)",
                        "SetMainRootControl(mainControl)", "Run", "ExitInstance", "RunMessageLoop=1",
                        "RunApplicationShutdown"}));
  EXPECT_TRUE(shownWhileRunning);
  EXPECT_EQ(script.applicationsMade, 1);
  EXPECT_EQ(script.applicationsAlive, 0);
  EXPECT_EQ(host.GetApplication(), nullptr);
  EXPECT_EQ(host.GetControlFactory(), nullptr);
  EXPECT_EQ(host.GetFrameworkStringTable(), nullptr);
  EXPECT_EQ(host.GetMainWindow(), nullptr);
  EXPECT_EQ(host.GetCommandLine(), QZ::WString(u"editor \"C:\\a b\""));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(StartupTest, FailingOleShowsOneErrorBoxRunsExitInstanceAndExitsWithOne) {
  environment.Set("QZ_RESOURCE_FOLDER", ProgramTablesFolder(true));
  QZ::MFCFrameworkAppBase::Services services = SteppedServices();
  services.initializeOle = [] { return false; };
  TestHost host(services);
  EXPECT_EQ(Run(), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kStartupError);
  EXPECT_EQ(boxes[0].caption, u"Error");
  EXPECT_EQ(boxes[0].style, 0x10u);
  EXPECT_EQ(script.Count("ExitInstance"), 1);
  EXPECT_EQ(script.applicationsMade, 0);
}

TEST_F(StartupTest, AMissingSkinEndsTheStartupWithTheFailureTextABoxAndExitCodeOne) {
  environment.Set("QZ_RESOURCE_FOLDER", ProgramTablesFolder(false));
  TestHost host(SteppedServices());
  testing::internal::CaptureStderr();
  const int32_t exitCode = Run();
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(exitCode, 1);
  const std::string cause = folder / "resources/Skins.xml: the skin document cannot be read (missing, empty or not "
                                     "readable)";
  const std::string text = "Failed Result : QZRESULT = 80004005 : QZ::MFCFrameworkApp<class "
                           "QZTest::StubApplication>::InitApplication : Application/ApplicationBaseWin : Line 169";
  EXPECT_EQ(errors, cause + "\n" + text + "\n");
  EXPECT_EQ(traced, (std::vector<std::string>{cause + "\n", text + "\n"}));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kStartupError);
  EXPECT_EQ(boxes[0].caption, u"Error");
  EXPECT_EQ(boxes[0].style, 0x10u);
  EXPECT_EQ(script.applicationsMade, 0);
  EXPECT_EQ(script.Count("ExitInstance"), 0);
}

TEST_F(StartupTest, ADocumentThatDoesNotParseIsNamedWithExpatsLineAndText) {
  const std::string resources = ProgramTablesFolder(true);
  // A skin cut short after its fourth line: the start-up fails and says where.
  const std::string skin = folder.Read("resources/Skins.xml");
  size_t cut = 0;
  for (int line = 0; line < 4; ++line) {
    cut = skin.find('\n', cut) + 1;
  }
  folder.Write("resources/Skins.xml", skin.substr(0, cut));
  environment.Set("QZ_RESOURCE_FOLDER", resources);
  {
    TestHost host(SteppedServices());
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(), 1);
    const std::vector<std::string> lines = Lines(testing::internal::GetCapturedStderr());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], resources + "/Skins.xml: line 5: no element found");
    EXPECT_THAT(lines[1], testing::EndsWith("Line 169"));
    EXPECT_EQ(traced.front(), lines[0] + "\n");
  }
  // A string table cut short is named too, and the start-up goes on with what it gave.
  folder.Write("resources/Skins.xml", skin);
  const std::string tables = folder.Read("resources/StringTables.xml");
  folder.Write("resources/StringTables.xml", tables.substr(0, tables.size() / 2));
  Step(Quit);
  TestHost host(SteppedServices());
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run(), 0);
  EXPECT_THAT(testing::internal::GetCapturedStderr(), testing::StartsWith(resources + "/StringTables.xml: line "));
  EXPECT_EQ(script.Count("Run"), 1);
}

TEST_F(StartupTest, AStartThatFailsAfterTakingTheLockLetsItGoBeforeItsBox) {
  const std::string lockPath =
      QZ::Platform::Instance::LockFilePath(QZ::NString(QZ::MFCFrameworkAppBase::GetAppId()).GetBuffer());
  std::vector<QZ::Platform::Instance::InstanceLock::State> duringTheBox;
  Win::SetMessageBoxRecorder([&](std::u16string_view, std::u16string_view, uint32_t) {
    duringTheBox.push_back(QZ::Platform::Instance::InstanceLock(lockPath).GetState());
    return Win::IDOK;
  });
  script.startupResult = QZ::QZ_E_FAIL;
  TestHost host(SteppedServices());
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run(), 1);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(duringTheBox, std::vector{QZ::Platform::Instance::InstanceLock::State::Held})
      << "another start may become the running instance while the box is up";
}

TEST_F(StartupTest, AFailedStepOfRunEndsTheStartupWithItsLineAndDropsTheApplication) {
  struct RunFailure {
    QZ::QZResult AppScript::*result;
    int line;
  };
  const RunFailure failures[] = {
      {&AppScript::startupResult, 380},
      {&AppScript::mainWindowResult, 361},
      {&AppScript::rootControlResult, 362},
  };
  for (const RunFailure& failure : failures) {
    SCOPED_TRACE(failure.line);
    script = AppScript();
    script.*failure.result = QZ::QZ_E_INVALIDARG;
    boxes.clear();
    traced.clear();
    testing::internal::CaptureStderr();
    {
      TestHost host(SteppedServices());
      EXPECT_EQ(Run(), 1);
      EXPECT_EQ(host.GetMainWindow(), nullptr);
    }
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors, "Failed Result : QZRESULT = 80070057 : QZ::MFCFrameworkApp<class "
                      "QZTest::StubApplication>::Run : Application/ApplicationBaseWin : Line " +
                          std::to_string(failure.line) + "\n");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"Start-up failed (test table).");
    EXPECT_EQ(boxes[0].caption, u"Test error");
    EXPECT_EQ(script.Count("RunApplicationShutdown"), 1);
    EXPECT_EQ(script.Count("Run"), 0);
    EXPECT_EQ(script.applicationsMade, 1);
    EXPECT_EQ(script.applicationsAlive, 0);
  }
}

TEST_F(StartupTest, WithoutADisplayTheRunSaysWhyAndHowToStartAndEndsWithTwoHoldingNothing) {
  // SDL's driver that shows nothing is taken only when asked for by name.
  environment.Unset("SDL_VIDEODRIVER");
  environment.Set("DISPLAY", ":199");
  {
    QZ::MFCFrameworkAppBase::Services services;
    services.trace = &trace;
    TestHost host(services);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(), 2);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_THAT(errors, testing::StartsWith("The display \":199\" could not be opened"));
    EXPECT_THAT(errors, testing::HasSubstr("\n  xvfb-run -a -s \"-screen 0 1280x1024x24\" /"));
    EXPECT_EQ(traced.size(), 2u);
  }
  // A window system that refuses for a reason of its own.
  QZ::MFCFrameworkAppBase::Services services;
  services.startWindowSystem = [] { return false; };
  services.trace = &trace;
  TestHost host(services);
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run(), 2);
  EXPECT_THAT(testing::internal::GetCapturedStderr(), testing::HasSubstr("xvfb-run"));
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(script.log, Log{});
  // Nothing was taken: no lock file, no settings folder.
  EXPECT_FALSE(folder.Exists(QZ::NString(QZ::MFCFrameworkAppBase::GetAppId()).GetBuffer() + std::string("Prevent")));
  EXPECT_FALSE(folder.Exists("config"));
}

TEST_F(StartupTest, TheLanguageComesFromTheEnvironmentUnlessTheEntryGivesOne) {
  struct LanguageCase {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    int32_t given;
    uint32_t expected;
    const char16_t* caption; // of the framework table the application gets
  };
  const LanguageCase cases[] = {
      {nullptr, nullptr, "de_DE.UTF-8", -1, 0x0407, u"Testfehler"},
      {nullptr, "fr_FR", "de_DE", -1, 0x040C, u"Test error"},
      {"ja_JP.UTF-8", "fr_FR", "de_DE", -1, 0x0411, u"Test error"},
      {nullptr, nullptr, "de_DE", 0x0011, 0x0011, u"Test error"},
  };
  for (const LanguageCase& language : cases) {
    SCOPED_TRACE(language.expected);
    script = AppScript();
    for (auto [name, value] : {std::pair{"LC_ALL", language.lcAll}, std::pair{"LC_MESSAGES", language.lcMessages},
                               std::pair{"LANG", language.lang}}) {
      if (value) {
        environment.Set(name, value);
      } else {
        environment.Unset(name);
      }
    }
    std::u16string caption;
    script.afterIdleWork = [&caption](StubApplication& application) {
      caption = application.frameworkTable->Find(u"STARTUP_ERROR_CAPTION")->View();
    };
    Step(Quit);
    TestHost host(SteppedServices());
    EXPECT_EQ(Run("editor", language.given), 0);
    EXPECT_EQ(host.GetLanguageId(), language.expected);
    EXPECT_EQ(caption, language.caption);
  }
}

TEST_F(StartupTest, LocaleNamesGiveTheirWindowsLanguageIds) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"de_DE.UTF-8", 0x0407}, {"en_GB", 0x0409},       {"es_ES@euro", 0x0C0A}, {"fr", 0x040C},
      {"it_IT", 0x0410},       {"ja_JP.eucJP", 0x0411}, {"ko_KR", 0x0412},      {"zh_TW.UTF-8", 0x0404},
      {"zh_HK", 0x0404},       {"zh_CN", 0x0804},       {"zh_SG", 0x0804},      {"zh", 0x0409},
      {"C", 0x0409},           {"POSIX", 0x0409},       {"nl_NL", 0x0409},      {"", 0x0409},
  };
  for (const auto& [locale, id] : cases) {
    EXPECT_EQ(QZ::LanguageIdFromLocaleName(locale), id) << locale;
  }
  environment.Unset("LC_ALL");
  environment.Set("LC_MESSAGES", "");
  environment.Set("LANG", "ko_KR.UTF-8");
  EXPECT_EQ(QZ::GetUserDefaultLanguageId(), 0x0412u); // an empty variable counts as unset
}

TEST_F(StartupTest, TheResourceFolderIsTheProgramsOwnOrTheFolderTheEnvironmentNames) {
  TestHost host(SteppedServices());
  EXPECT_EQ(host.GetFolder(1), QZ::WString(QZ_APPLICATION_TEST_DATA));
  environment.Set("QZ_RESOURCE_FOLDER", "/opt/skins//");
  EXPECT_EQ(host.GetFolder(1), QZ::WString(u"/opt/skins"));
  environment.Unset("QZ_RESOURCE_FOLDER");
  EXPECT_EQ(host.GetFolder(1), QZ::WString(u"::"));
  try {
    host.GetFolder(5);
    ADD_FAILURE() << "no exception";
  } catch (const std::out_of_range& failure) {
    EXPECT_STREQ(failure.what(), "Out of Range : Unknown Path ID. : QZ::MFCFrameworkApp<class QZTest::StubApplication>"
                                 "::GetFolder : Application/ApplicationBaseWin : Line 582");
  }
  EXPECT_EQ(QZ::MFCFrameworkAppBase::GetAppId(), QZ::WString(u"Vandrel_Quorin ZTR Preset Editor"));
}

TEST_F(StartupTest, TheProfileIsKeptForTheCompanyAndReadBackByTheNextRun) {
  const std::vector<uint8_t> placement = {0x2C, 0, 0, 0, 1, 2, 3};
  const QZ::WString section = QZ::MFCFrameworkAppBase::GetAppId();
  {
    TestHost host(SteppedServices());
    EXPECT_FALSE(host.WriteProfileBinary(section, u"WP", placement)); // no company yet
    Step(Quit);
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(host.WriteProfileBinary(section, u"WP", placement));
  }
  EXPECT_TRUE(folder.Exists("config/Vandrel/Quorin ZTR Preset Editor/Profile.ini"));
  TestHost host(SteppedServices());
  EXPECT_EQ(host.GetProfileBinary(section, u"WP"), std::nullopt);
  Step(Quit);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(host.GetProfileBinary(section, u"WP"), placement);
}

TEST_F(StartupTest, TheDebugSwitchIsReadInAnyLetterCaseWithAPortAndAnUpperCaseHost) {
  using Kind = QZ::DebugConsoleSwitch::Kind;
  struct SwitchCase {
    const char* line;
    Kind kind;
    int32_t port;
    const char* host; // null: none
  };
  const SwitchCase cases[] = {
      {"editor -debug_console", Kind::Console, 0, nullptr},
      {"editor -DEBUG_CONSOLE -x", Kind::Console, 0, nullptr},
      {"editor", Kind::None, 0, nullptr},
      {"editor -DEBUG_CONSOLE:5", Kind::None, 0, nullptr},
      {"editor -DEBUG_CONSOLE:4000:myhost", Kind::Network, 4000, "MYHOST"},
      {"editor -Debug_Console:4000:myhost -x", Kind::Network, 4000, "MYHOST"},
      {"editor -DEBUG_CONSOLE:4000", Kind::Network, 4000, nullptr},
      {"editor -DEBUG_CONSOLE:4000: -x", Kind::Network, 4000, nullptr},
      {"editor -DEBUG_CONSOLE:65535:h", Kind::Network, 65535, "H"},
      {"editor -DEBUG_CONSOLE:70000", Kind::None, 0, nullptr},
      {"editor -DEBUG_CONSOLE:0", Kind::None, 0, nullptr},
      {"editor -DEBUG_CONSOLE:00", Kind::None, 0, nullptr},
      {"editor -DEBUG_CONSOLE:abc", Kind::None, 0, nullptr},
      {"editor -DEBUG_CONSOLE:-400", Kind::None, 0, nullptr},
  };
  for (const SwitchCase& one : cases) {
    SCOPED_TRACE(one.line);
    const QZ::DebugConsoleSwitch parsed = QZ::ParseDebugConsoleSwitch(QZ::UpperCaseAscii(one.line));
    EXPECT_EQ(parsed.kind, one.kind);
    EXPECT_EQ(parsed.port, one.port);
    EXPECT_EQ(parsed.hasHost, one.host != nullptr);
    EXPECT_EQ(parsed.host, one.host ? one.host : "");
  }
}

TEST_F(StartupTest, TheConsoleSwitchSendsTheTraceToStandardError) {
  Step(Quit);
  TestHost host(SteppedServices());
  EXPECT_EQ(Run("editor -debug_console"), 0);
  testing::internal::CaptureStderr();
  trace.Narrow() << "to the console\n";
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "to the console\n");
  EXPECT_TRUE(traced.empty());
}

TEST_F(StartupTest, TheNetworkSwitchSendsTheTraceToTheListenerAsDatagrams) {
  const int listener = ::socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  socklen_t length = sizeof(address);
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const int port = ntohs(address.sin_port);

  Step(Quit);
  TestHost host(SteppedServices());
  EXPECT_EQ(Run("editor -DEBUG_CONSOLE:" + std::to_string(port) + ":127.0.0.1"), 0);
  trace.Narrow() << "over the network\n";

  std::vector<std::string> datagrams;
  pollfd waiting{listener, POLLIN, 0};
  while (datagrams.size() < 4 && ::poll(&waiting, 1, 5000) == 1) {
    char buffer[512];
    const ssize_t size = ::recv(listener, buffer, sizeof(buffer), 0);
    ASSERT_GT(size, 0);
    datagrams.emplace_back(buffer, size_t(size));
  }
  ::close(listener);
  EXPECT_EQ(datagrams,
            (std::vector<std::string>{"*** APPLICATION Launched on ", "127.0.0.1", "***\n", "over the network\n"}));
  EXPECT_TRUE(traced.empty());
}

} // namespace
} // namespace QZTest

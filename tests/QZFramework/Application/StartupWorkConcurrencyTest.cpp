// The work the run function begins before the window system starts: the resources' reading
// and the system font's lookup run beside that start on threads of their own, and their
// results and failures reach the start-up as if the work had run where it is taken.

#include <gmock/gmock.h>

#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

#include "HostTestSupport.h"

namespace QZTest {
namespace {

// Bounds a wait that would hang if the work ran after the window system's start.
constexpr auto kBound = std::chrono::seconds(20);

class StartupWorkConcurrencyTest : public HostRunTest {
protected:
  const std::thread::id mainThread = std::this_thread::get_id();
};

TEST_F(StartupWorkConcurrencyTest, TheResourcesAreReadAndTheFontFoundWhileTheWindowSystemStarts) {
  std::promise<void> readingBegun;
  std::promise<void> fontSought;
  std::thread::id reader;
  std::thread::id seeker;
  QZ::MFCFrameworkAppBase::Services services = SteppedServices();
  services.loadResources = [&](QZ::LControlFactory& factory, const QZ::WString& path, uint32_t language) {
    reader = std::this_thread::get_id();
    readingBegun.set_value();
    return factory.LoadResources(path, language);
  };
  services.findSystemFont = [&] {
    seeker = std::this_thread::get_id();
    fontSought.set_value();
    return QZ::SystemFont{QZ::WString(u"Test Face"), 11.0f, 0x1};
  };
  // The window system starts only once both are under way: had they waited for it, the
  // start would wait for them and fail at the bound. (Under AddressSanitizer they begin
  // just after it.)
  services.startWindowSystem = [&, start = services.startWindowSystem] {
    if (!QZ::MFCFrameworkAppBase::kWorkBeforeWindowSystem) {
      return start();
    }
    const bool begun = readingBegun.get_future().wait_for(kBound) == std::future_status::ready &&
                       fontSought.get_future().wait_for(kBound) == std::future_status::ready;
    EXPECT_TRUE(begun) << "the work waited for the window system";
    return begun && start();
  };
  std::vector<std::optional<QZ::SystemFont>> taken;
  TestHost host(services);
  Step([&] {
    taken.push_back(host.TakeStartupSystemFont());
    taken.push_back(host.TakeStartupSystemFont());
    return Quit();
  });
  EXPECT_EQ(Run(), 0);
  EXPECT_NE(reader, mainThread);
  EXPECT_NE(seeker, mainThread);
  EXPECT_EQ(script.Count("RunApplicationStartup"), 1);
  EXPECT_TRUE(boxes.empty());
  ASSERT_EQ(taken.size(), 2u);
  ASSERT_TRUE(taken[0]) << "the first call takes what was found";
  EXPECT_EQ(taken[0]->face, QZ::WString(u"Test Face"));
  EXPECT_EQ(taken[0]->size, 11.0f);
  EXPECT_EQ(taken[0]->style, 0x1);
  EXPECT_FALSE(taken[1]) << "only once";
  EXPECT_FALSE(host.TakeStartupSystemFont()) << "nothing once the run has ended";
}

TEST_F(StartupWorkConcurrencyTest, AReadingThatFailsOrThrowsEndsTheStartAsItDidOnTheMainThread) {
  // A failed result: the skin named first, then the failure's line, then the box.
  {
    QZ::MFCFrameworkAppBase::Services services = SteppedServices();
    services.loadResources = [](QZ::LControlFactory&, const QZ::WString&, uint32_t) { return QZ::QZ_E_FAIL; };
    TestHost host(services);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(), 1);
    const std::string skins = std::string(QZ_APPLICATION_TEST_DATA) + "/Skins.xml: the skin document cannot be read "
                                                                      "(missing, empty or not readable)\n";
    const std::string failure = "Failed Result : QZRESULT = 80004005 : QZ::MFCFrameworkApp<class "
                                "QZTest::StubApplication>::InitApplication : Application/ApplicationBaseWin : Line "
                                "169\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), skins + failure);
    EXPECT_EQ(traced, (std::vector<std::string>{skins, failure}));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(script.applicationsMade, 0);
  }
  // An exception on the reading's thread: its text, the box and exit code 1, after the
  // window system started.
  traced.clear();
  boxes.clear();
  QZ::MFCFrameworkAppBase::Services services = SteppedServices();
  services.loadResources = [](QZ::LControlFactory&, const QZ::WString&, uint32_t) -> QZ::QZResult {
    throw std::runtime_error("Runtime Error : the reading broke");
  };
  bool windowSystemStarted = false;
  services.startWindowSystem = [&, start = services.startWindowSystem] { return windowSystemStarted = start(); };
  TestHost host(services);
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Runtime Error : the reading broke\n");
  EXPECT_TRUE(windowSystemStarted);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].style, 0x10u);
  EXPECT_EQ(script.applicationsMade, 0);
  EXPECT_EQ(host.GetControlFactory(), nullptr);
}

TEST_F(StartupWorkConcurrencyTest, WithoutADisplayTheRunWaitsForTheWorkAndReportsNothingOfIt) {
  bool readingEnded = false;
  bool fontEnded = false;
  QZ::MFCFrameworkAppBase::Services services;
  services.trace = &trace;
  services.loadResources = [&](QZ::LControlFactory&, const QZ::WString&, uint32_t) {
    readingEnded = true;
    return QZ::QZ_E_FAIL; // would be reported, had the start got that far
  };
  services.findSystemFont = [&] {
    fontEnded = true;
    return QZ::SystemFont{};
  };
  services.startWindowSystem = [] { return false; };
  TestHost host(services);
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run(), 2);
  const std::string errors = testing::internal::GetCapturedStderr();
  // Read without a lock of the test's own: the run's end waited for both (which begin only
  // with the window system under AddressSanitizer).
  EXPECT_EQ(readingEnded, QZ::MFCFrameworkAppBase::kWorkBeforeWindowSystem);
  EXPECT_EQ(fontEnded, QZ::MFCFrameworkAppBase::kWorkBeforeWindowSystem);
  EXPECT_THAT(errors, testing::HasSubstr("xvfb-run"));
  // The report's own words: the run's texts may name a path that holds "skin".
  EXPECT_THAT(errors, testing::Not(testing::HasSubstr("the skin document")));
  EXPECT_EQ(traced.size(), 2u);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(script.log, std::vector<std::string>{});
}

} // namespace
} // namespace QZTest

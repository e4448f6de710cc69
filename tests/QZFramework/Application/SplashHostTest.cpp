// The host's splash screen: where its image is looked for, shown from the start-up until
// the main window shows, and nothing at all without an image.

#include <filesystem>

#include "HostTestSupport.h"
#include "QZFramework/Application/SplashScreen.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"
#include "SplashTestSupport.h"
#include "Support/ImageCompare.h"

namespace QZTest {
namespace {

class SplashHostTest : public HostRunTest {
protected:
  // Services whose splash backends record into log; counts the backends made.
  QZ::MFCFrameworkAppBase::Services SplashServices() {
    QZ::MFCFrameworkAppBase::Services services = SteppedServices();
    services.makeSplashBackend = [this] {
      ++backendsMade;
      return std::make_unique<FakeSplashBackend>(log, Win::RECT{0, 0, 1920, 1080});
    };
    return services;
  }
  // The test resources with a splash image of width x height.
  std::string ResourcesWithSplash(int32_t width, int32_t height) {
    const std::string resources = folder / "resources";
    std::filesystem::create_directories(resources);
    for (const char* name : {"FrameworkStrings.xml", "StringTables.xml", "Skins.xml"}) {
      std::filesystem::copy_file(std::string(QZ_APPLICATION_TEST_DATA) + "/" + name, resources + "/" + name);
    }
    auto image = QZ::Platform::Graphics::Image::Create(width, height);
    EXPECT_TRUE(WritePng(*image, resources + "/Splash.png"));
    return resources;
  }

  BackendLog log;
  int backendsMade = 0;
};

TEST_F(SplashHostTest, WithoutASplashImageNothingIsStartedOrClosed) {
  for (bool compiledIn : {false, true}) {
    if (compiledIn) {
      environment.Unset("QZ_RESOURCE_FOLDER"); // "::": the program's own table has no SPLASH_PNG
    }
    QZ::WString path(u"unset");
    bool splashWhileRunning = true;
    Step([&] {
      auto* host = static_cast<TestHost*>(QZ::HostApp::Get());
      path = host->GetSplashImagePath();
      splashWhileRunning = host->HasSplash();
      host->CloseSplash();
      host->ShowSplash();
      splashWhileRunning = splashWhileRunning || host->HasSplash();
      return Quit();
    });
    TestHost host(SplashServices());
    EXPECT_EQ(Run(), 0) << compiledIn;
    EXPECT_EQ(path, QZ::WString()) << compiledIn;
    EXPECT_FALSE(splashWhileRunning) << compiledIn;
  }
  EXPECT_EQ(backendsMade, 0);
  EXPECT_TRUE(log.Calls().empty());
}

TEST_F(SplashHostTest, AFolderImageShowsFromTheStartupUntilTheMainWindowShows) {
  const std::string resources = ResourcesWithSplash(400, 300);
  environment.Set("QZ_RESOURCE_FOLDER", resources);
  QZ::WString path;
  bool splashWhileRunning = true;
  Step([&] {
    auto* host = static_cast<TestHost*>(QZ::HostApp::Get());
    path = host->GetSplashImagePath();
    splashWhileRunning = host->HasSplash();
    return Quit();
  });
  TestHost host(SplashServices());
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(path, QZ::WString((resources + "/Splash.png").c_str()));
  EXPECT_FALSE(splashWhileRunning);
  EXPECT_EQ(backendsMade, 1);
  const std::vector<std::string> calls = log.Calls();
  ASSERT_GE(calls.size(), 5u);
  EXPECT_EQ(
      std::vector<std::string>(calls.begin(), calls.begin() + 4),
      (std::vector<std::string>{"GetWorkArea", "CreateSplashWindow 400x300", "PaintLayered", "ShowSplashWindow"}));
  EXPECT_EQ(calls.back(), "DestroySplashWindow");
  EXPECT_EQ(log.window, (Win::RECT{760, 390, 1160, 690}));
  // Stepping from 0, then 100 as the main window shows.
  const std::vector<int32_t> positions = log.Positions();
  ASSERT_GE(positions.size(), 2u);
  EXPECT_EQ(positions.front(), 0);
  EXPECT_EQ(positions.back(), 100);
}

TEST_F(SplashHostTest, AFailedStartupEndsTheSplashToo) {
  const std::string resources = ResourcesWithSplash(40, 30);
  std::filesystem::remove(resources + "/Skins.xml");
  environment.Set("QZ_RESOURCE_FOLDER", resources);
  TestHost host(SplashServices());
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run(), 1);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(backendsMade, 1);
  ASSERT_FALSE(log.Calls().empty());
  EXPECT_EQ(log.Calls().back(), "DestroySplashWindow");
  EXPECT_FALSE(host.HasSplash());
}

} // namespace
} // namespace QZTest

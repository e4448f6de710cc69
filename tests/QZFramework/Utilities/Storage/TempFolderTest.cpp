// The tests' temporary folders: what a killed run leaves behind is removed by the next.

#include "Support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// The id of a process that has ended.
pid_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) {
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return child;
}

TEST(TempFolderTest, FoldersOfEndedRunsAreRemovedOthersStay) {
  const fs::path temp = fs::temp_directory_path();
  const fs::path stale = temp / ("qz-test-" + std::to_string(EndedProcess()) + "-Ab12Cd");
  const fs::path alive = temp / ("qz-test-" + std::to_string(getppid()) + "-Ef34Gh");
  const fs::path foreign = temp / "qz-test-notapid";
  for (const fs::path& folder : {stale, alive, foreign}) {
    fs::create_directory(folder);
    std::ofstream(folder / "keyboard.log") << "left by an interrupted run\n";
  }

  QZTest::TempFolder::RemoveStaleFolders();
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(alive / "keyboard.log"));
  EXPECT_TRUE(fs::exists(foreign / "keyboard.log"));
  fs::remove_all(alive);
  fs::remove_all(foreign);

  QZTest::TempFolder folder;
  EXPECT_EQ(fs::path(folder.Path()).filename().string().rfind("qz-test-" + std::to_string(getpid()) + "-", 0), 0u);
}

} // namespace

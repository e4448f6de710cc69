// The skin-art program as the build runs it: every image at 1x and 2x, the same bytes on
// every run and in the program's resources, and the icon and cursors the window uses.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "Platform/Graphics/Image.h"
#include "Platform/Graphics/ImageResources.h"
#include "Resources/SkinArt/ProgramArt.h"
#include "Support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
namespace Art = QZ::SkinArt;
namespace Gfx = QZ::Platform::Graphics;

const std::string kProgram = QZ_SKIN_ART_PROGRAM;
const std::string kBuiltImages = QZ_SKIN_ART_IMAGES;

// The program's exit status for arguments.
int RunSkinArt(const std::string& arguments) {
  const int status = std::system((kProgram + " " + arguments + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Bytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// File name to bytes of every PNG file in folder.
std::map<std::string, std::string> Images(const std::string& folder) {
  std::map<std::string, std::string> images;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    images[entry.path().filename().string()] = Bytes(entry.path());
  }
  return images;
}

std::unique_ptr<Gfx::Image> Decode(const std::string& bytes) {
  return Gfx::Image::FromPngMemory(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

// Whether any pixel of image is not fully transparent.
bool DrawsSomething(const Gfx::Image& image) {
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      Gfx::Color colour;
      if (image.GetPixel(x, y, colour) == Gfx::Status::Ok && colour.A() > 0) {
        return true;
      }
    }
  }
  return false;
}

TEST(SkinArtTest, EveryImageIsDrawnAtBothScalesTheLargerExactlyTwiceTheSmaller) {
  QZTest::TempFolder folder;
  ASSERT_EQ(RunSkinArt("--images " + folder.Path()), 0);
  const std::map<std::string, std::string> images = Images(folder.Path());
  int pairs = 0;
  for (const auto& [name, bytes] : images) {
    ASSERT_TRUE(name.ends_with(".png")) << name;
    const std::string stem = name.substr(0, name.size() - 4);
    if (stem.ends_with("_2x")) {
      EXPECT_TRUE(images.contains(stem.substr(0, stem.size() - 3) + ".png")) << name << " has no 1x image";
      continue;
    }
    SCOPED_TRACE(name);
    ASSERT_TRUE(images.contains(stem + "_2x.png")) << "no 2x image";
    const auto small = Decode(bytes);
    const auto large = Decode(images.at(stem + "_2x.png"));
    ASSERT_TRUE(small && large);
    EXPECT_EQ(large->Width(), 2 * small->Width());
    EXPECT_EQ(large->Height(), 2 * small->Height());
    EXPECT_TRUE(DrawsSomething(*small));
    EXPECT_TRUE(DrawsSomething(*large));
    ++pairs;
  }
  EXPECT_GE(pairs, 20);
}

TEST(SkinArtTest, EveryRunWritesTheSameBytesAndTheProgramCompilesThemIn) {
  QZTest::TempFolder first;
  QZTest::TempFolder second;
  ASSERT_EQ(RunSkinArt("--images " + first.Path()), 0);
  ASSERT_EQ(RunSkinArt("--images " + second.Path()), 0);
  const std::map<std::string, std::string> images = Images(first.Path());
  EXPECT_EQ(Images(second.Path()), images);
  EXPECT_EQ(Images(kBuiltImages), images);
  for (const auto& [name, bytes] : images) {
    std::u16string resource;
    for (const char c : name) {
      resource += c == '.' ? u'_' : char16_t(std::toupper(static_cast<unsigned char>(c)));
    }
    const auto compiled = Gfx::FindImageResource(resource);
    ASSERT_TRUE(compiled) << name;
    EXPECT_EQ(std::string(compiled->begin(), compiled->end()), bytes) << name;
  }
}

TEST(SkinArtTest, TheIconAndTheDragCursorsLoadThroughTheImageLayer) {
  for (const Art::ProgramPicture* picture : {&Art::kApplicationIcon, &Art::kDropMoveCursor, &Art::kDropCopyCursor}) {
    for (const int scale : {1, 2}) {
      SCOPED_TRACE(std::string(picture->Resource(scale).begin(), picture->Resource(scale).end()));
      const auto bytes = Gfx::FindImageResource(picture->Resource(scale));
      ASSERT_TRUE(bytes);
      const auto image = Gfx::Image::FromPngMemory(*bytes);
      ASSERT_TRUE(image);
      EXPECT_EQ(image->Width(), picture->width * scale);
      EXPECT_EQ(image->Height(), picture->height * scale);
      Gfx::Color tip;
      ASSERT_EQ(image->GetPixel(picture->hotSpotX * scale, picture->hotSpotY * scale, tip), Gfx::Status::Ok);
      if (picture != &Art::kApplicationIcon) {
        EXPECT_GT(tip.A(), 200) << "the pointer's tip is at its hot spot";
      }
    }
  }
}

TEST(SkinArtTest, TheProgramChecksTheSkinDocumentAndRefusesAWrongCommandLine) {
  QZTest::TempFolder folder;
  const std::string written = folder / "Skins.xml";
  ASSERT_EQ(RunSkinArt("--skin " + written), 0);
  EXPECT_EQ(RunSkinArt("--check-skin " + written), 0);
  EXPECT_EQ(Bytes(written), Bytes(std::string(QZ_RESOURCE_DOCUMENTS) + "/Skins.xml"));
  std::ofstream(written, std::ios::app) << "\n";
  EXPECT_EQ(RunSkinArt("--check-skin " + written), 1);
  EXPECT_EQ(RunSkinArt("--check-skin " + folder / "missing.xml"), 1);
  EXPECT_EQ(RunSkinArt("--images"), 2);
  EXPECT_EQ(RunSkinArt("--colours " + folder.Path()), 2);
  EXPECT_EQ(RunSkinArt("--images " + folder / "no/such/folder"), 1);
}

} // namespace

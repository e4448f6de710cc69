// Families looked up ahead on threads of their own while the main thread looks up others.

#include <gtest/gtest.h>

#include <string>

#include "Platform/Graphics/Font.h"

namespace Gfx = QZ::Platform::Graphics;

namespace {

// The regular face's design metrics of a family, as one string to compare.
std::string RegularMetrics(const Gfx::FontFamily& family) {
  const Gfx::FontStyle regular = Gfx::FontStyle::Regular;
  return family.Name() + " " + std::to_string(family.EmHeight(regular)) + " " +
         std::to_string(family.CellAscent(regular)) + " " + std::to_string(family.CellDescent(regular)) + " " +
         std::to_string(family.LineSpacing(regular));
}

} // namespace

// Each spelling is a name of its own in the registry: the prefetched ones are looked up only
// here, the others answer what a look-up without a prefetch gives.
TEST(FontPrefetchConcurrencyTest, APrefetchedFamilyIsTheOneALookUpAloneFinds) {
  // fontconfig made ready first, as the program's system font does before any prefetch
  // (its lazy set-up publishes through atomics the race checker does not see).
  const auto mono = Gfx::FontFamily::FromName(u"LIBERATION MONO");
  Gfx::FontFamily::Prefetch(u"liberation mono (prefetched)"); // no such family
  Gfx::FontFamily::Prefetch(u"liberation  MONO");
  Gfx::FontFamily::Prefetch(u"Liberation  Serif");
  Gfx::FontFamily::Prefetch(u"Liberation  Serif"); // once is enough
  // The main thread asks fontconfig too while the prefetches run.
  const auto serif = Gfx::FontFamily::FromName(u"LIBERATION SERIF");
  ASSERT_TRUE(mono && serif);

  Gfx::Status status = Gfx::Status::Ok;
  const auto prefetchedMono = Gfx::FontFamily::FromName(u"liberation  MONO", &status);
  ASSERT_TRUE(prefetchedMono);
  EXPECT_EQ(status, Gfx::Status::Ok);
  EXPECT_EQ(RegularMetrics(*prefetchedMono), RegularMetrics(*mono));
  const auto prefetchedSerif = Gfx::FontFamily::FromName(u"Liberation  Serif");
  ASSERT_TRUE(prefetchedSerif);
  EXPECT_EQ(RegularMetrics(*prefetchedSerif), RegularMetrics(*serif));
  EXPECT_NE(RegularMetrics(*prefetchedSerif), RegularMetrics(*prefetchedMono));
  // Its bold face is matched when first asked, as without a prefetch.
  EXPECT_EQ(prefetchedSerif->LineSpacing(Gfx::FontStyle::Bold), serif->LineSpacing(Gfx::FontStyle::Bold));
  EXPECT_TRUE(Gfx::Font::Create(*prefetchedMono, 9, Gfx::FontStyle::Italic, Gfx::FontUnit::Point));

  EXPECT_FALSE(Gfx::FontFamily::FromName(u"liberation mono (prefetched)", &status));
  EXPECT_EQ(status, Gfx::Status::FontFamilyNotFound);
  // A name looked up already is not looked up again.
  Gfx::FontFamily::Prefetch(u"liberation  MONO");
  EXPECT_EQ(Gfx::FontFamily::FromName(u"liberation  MONO")->Name(), mono->Name());
}

#include <gtest/gtest.h>

#include "Platform/Midi/MidiStreamParser.h"
#include "Platform/Midi/MidiTestSupport.h"

namespace {

using QZ::Platform::Midi::MidiStreamEvent;
using QZ::Platform::Midi::MidiStreamParser;
using QZTest::Bytes;

struct Seen {
  bool isShort;
  Bytes bytes;
  bool begins;
  bool ends;
  bool operator==(const Seen&) const = default;
};

std::vector<Seen> Feed(MidiStreamParser& parser, Bytes bytes) {
  std::vector<Seen> seen;
  for (const MidiStreamEvent& event : parser.Feed(bytes)) {
    seen.push_back({event.kind == MidiStreamEvent::Kind::Short, event.bytes, event.begins, event.ends});
  }
  return seen;
}

TEST(MidiStreamParserTest, ShortMessagesTakeTheLengthTheirStatusNeedsAndRunningStatusRepeatsIt) {
  MidiStreamParser parser;
  EXPECT_EQ(Feed(parser, {0x90, 0x3C, 0x40, 0x3E, 0x41, 0xC0, 0x05, 0x06, 0xF6, 0xF2, 0x01, 0x02, 0x10}),
            (std::vector<Seen>{{true, {0x90, 0x3C, 0x40}, false, false},
                               {true, {0x90, 0x3E, 0x41}, false, false},
                               {true, {0xC0, 0x05}, false, false},
                               {true, {0xC0, 0x06}, false, false},
                               {true, {0xF6}, false, false},
                               {true, {0xF2, 0x01, 0x02}, false, false}}))
      << "a system-common message clears the running status: the trailing 0x10 has no status";
}

TEST(MidiStreamParserTest, AMessageSplitAcrossFeedsCompletesInTheLaterFeed) {
  MidiStreamParser parser;
  EXPECT_TRUE(Feed(parser, {0xB0, 0x07}).empty());
  EXPECT_EQ(Feed(parser, {0x64}), (std::vector<Seen>{{true, {0xB0, 0x07, 0x64}, false, false}}));
}

TEST(MidiStreamParserTest, SysExComesInPiecesAndRealTimeBytesStandAloneInBetween) {
  MidiStreamParser parser;
  EXPECT_EQ(Feed(parser, {0xF0, 0x00, 0xF8, 0x01}),
            (std::vector<Seen>{
                {false, {0xF0, 0x00}, true, false}, {true, {0xF8}, false, false}, {false, {0x01}, false, false}}));
  EXPECT_EQ(Feed(parser, {0x02, 0xF7, 0xFE}),
            (std::vector<Seen>{{false, {0x02, 0xF7}, false, true}, {true, {0xFE}, false, false}}));
}

TEST(MidiStreamParserTest, AStatusByteCutsOffASysExWithoutF7) {
  MidiStreamParser parser;
  EXPECT_EQ(Feed(parser, {0xF0, 0x01}), (std::vector<Seen>{{false, {0xF0, 0x01}, true, false}}));
  EXPECT_EQ(Feed(parser, {0x90, 0x3C, 0x40}),
            (std::vector<Seen>{{false, {}, false, true}, {true, {0x90, 0x3C, 0x40}, false, false}}));
  EXPECT_EQ(Feed(parser, {0xF0, 0x01, 0xF0, 0x02, 0xF7}),
            (std::vector<Seen>{{false, {0xF0, 0x01}, true, true}, {false, {0xF0, 0x02, 0xF7}, true, true}}));
}

TEST(MidiStreamParserTest, StrayDataAndStrayF7MeanNothingAndClearForgetsAMessageUnderWay) {
  MidiStreamParser parser;
  EXPECT_TRUE(Feed(parser, {0x10, 0xF7, 0x20}).empty());
  Feed(parser, {0xF0, 0x01});
  parser.Clear();
  EXPECT_TRUE(Feed(parser, {0x02, 0xF7}).empty());
  Feed(parser, {0x90, 0x3C});
  parser.Clear();
  EXPECT_TRUE(Feed(parser, {0x40}).empty());
}

} // namespace

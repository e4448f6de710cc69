#include <gtest/gtest.h>

#include "Platform/Midi/RtMidi/RtMidiPortNames.h"

namespace {

using namespace QZ::Platform::Midi;

TEST(RtMidiPortNamesTest, TheAlsaAddressIsReadFromTheEndOfRtMidisName) {
  const auto address = ParseAlsaPortAddress("QUORIN 49 ZTR:QUORIN 49 ZTR MIDI 3 24:2");
  ASSERT_TRUE(address);
  EXPECT_EQ(address->client, 24);
  EXPECT_EQ(address->port, 2);
  EXPECT_FALSE(ParseAlsaPortAddress(""));
  EXPECT_FALSE(ParseAlsaPortAddress("no address"));
  EXPECT_FALSE(ParseAlsaPortAddress("name 24:"));
  EXPECT_FALSE(ParseAlsaPortAddress("name 24:x"));
  EXPECT_FALSE(ParseAlsaPortAddress("name -1:0"));
}

TEST(RtMidiPortNamesTest, AlsaPortsAreNamedLikeTheWindowsDriverNamesAUsbDevicesPorts) {
  const std::vector<AlsaPortEntry> ports = {{{24, 0}, "QUORIN 49 ZTR"},
                                            {{24, 1}, "QUORIN 49 ZTR"},
                                            {{24, 2}, "QUORIN 49 ZTR"},
                                            {{28, 0}, "Synth"},
                                            {{28, 3}, "Synth"}};
  EXPECT_EQ(AlsaDeviceNames(ports, MidiDirection::Input),
            (std::vector<std::string>{"QUORIN 49 ZTR", "MIDIIN2 (QUORIN 49 ZTR)", "MIDIIN3 (QUORIN 49 ZTR)", "Synth",
                                      "MIDIIN2 (Synth)"}));
  EXPECT_EQ(AlsaDeviceNames(ports, MidiDirection::Output)[2], "MIDIOUT3 (QUORIN 49 ZTR)");
}

TEST(RtMidiPortNamesTest, APortsPlaceCountsOnlyItsOwnClientsPortsOfThatDirection) {
  // A client whose only output is its port 2 still names it after the client alone.
  const std::vector<AlsaPortEntry> outputs = {{{20, 2}, "Keys"}, {{21, 0}, "Keys"}, {{20, 5}, "Keys"}};
  EXPECT_EQ(AlsaDeviceNames(outputs, MidiDirection::Output),
            (std::vector<std::string>{"Keys", "Keys", "MIDIOUT2 (Keys)"}));
}

TEST(RtMidiPortNamesTest, OwnJackPortsAreThoseOfTheClientNameOrItsNumberedTwins) {
  EXPECT_TRUE(IsOwnJackPort("Quorin Preset Editor:capture 1", "Quorin Preset Editor"));
  EXPECT_TRUE(IsOwnJackPort("Quorin Preset Editor-01:render 2", "Quorin Preset Editor"));
  EXPECT_FALSE(IsOwnJackPort("Quorin Preset Editor-x:render 2", "Quorin Preset Editor"));
  EXPECT_FALSE(IsOwnJackPort("Quorin Preset Editor 2:render", "Quorin Preset Editor"));
  EXPECT_FALSE(IsOwnJackPort("sim:MIDIIN3 (QUORIN 49 ZTR)", "Quorin Preset Editor"));
  EXPECT_FALSE(IsOwnJackPort("Quorin:x", "Quorin Preset Editor"));
}

} // namespace

// Watches on the devices: what the virtual registry and the facade tell, and when a
// backend cannot be watched.

#include <gtest/gtest.h>

#include <atomic>
#include <optional>

#include "Platform/Midi/MidiSystem.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"
#include "Platform/Midi/Virtual/VirtualMidiRegistry.h"

namespace {

using namespace QZ::Platform::Midi;

// A backend that lists nothing and cannot be watched.
class UnwatchedBackend final : public MidiBackend {
public:
  std::vector<std::string> ListDevices(MidiDirection) override { return {}; }
  MidiResult OpenInput(size_t, MidiInputHandler&, std::unique_ptr<MidiInput>&) override {
    return MidiResult::NoSuchDevice;
  }
  MidiResult OpenOutput(size_t, MidiOutputHandler&, std::unique_ptr<MidiOutput>&) override {
    return MidiResult::NoSuchDevice;
  }
};

TEST(MidiDeviceWatchTest, TheVirtualBackendTellsEveryChangeOfItsListsUntilTheWatchEnds) {
  VirtualMidiRegistry registry;
  VirtualMidiBackend backend(registry);
  int told = 0;
  size_t listedWhenTold = 0;
  auto watch = backend.WatchDevices([&] {
    ++told;
    listedWhenTold = registry.ListDevices(MidiDirection::Input).size();
  });
  ASSERT_TRUE(watch);
  auto input = registry.RegisterInput("MIDIIN3 (QUORIN 49 ZTR)");
  EXPECT_EQ(told, 1);
  EXPECT_EQ(listedWhenTold, 1u) << "told once the list shows it";
  input->Unplug();
  EXPECT_EQ(told, 2);
  EXPECT_EQ(listedWhenTold, 0u);
  input->Plug();
  EXPECT_EQ(told, 3);
  auto output = registry.RegisterOutput("MIDIOUT3 (QUORIN 49 ZTR)");
  output.reset();
  EXPECT_EQ(told, 5);
  watch.reset();
  input.reset();
  EXPECT_EQ(told, 5) << "nothing after the watch ended";
}

TEST(MidiDeviceWatchTest, AFacadeIsWatchedOnlyWhenEachMemberIsAndHearsTheVirtualKeyboardSwitch) {
  VirtualMidiRegistry registry;
  std::vector<MidiSystem::Member> members;
  members.push_back({std::make_unique<VirtualMidiBackend>(registry), nullptr});
  members.push_back({std::make_unique<UnwatchedBackend>(), nullptr});
  MidiSystem partly(std::move(members));
  EXPECT_FALSE(partly.WatchDevices([] {})) << "its owner must poll";

  std::vector<MidiSystem::Member> watched;
  watched.push_back({std::make_unique<VirtualMidiBackend>(registry), &MidiSystem::IsVirtualKeyboardEnabled});
  MidiSystem system(std::move(watched));
  std::atomic<int> told{0};
  auto watch = system.WatchDevices([&] { ++told; });
  ASSERT_TRUE(watch);
  auto input = registry.RegisterInput("MIDIIN3 (QUORIN 49 ZTR)");
  EXPECT_EQ(told, 1);
  MidiSystem::SetVirtualKeyboardEnabled(false);
  EXPECT_EQ(told, 2) << "the switch changes what is listed";
  MidiSystem::SetVirtualKeyboardEnabled(std::nullopt);
  EXPECT_EQ(told, 3);
  watch.reset();
  input->Unplug();
  EXPECT_EQ(told, 3);
}

TEST(MidiDeviceWatchTest, ASignalOutlivedByItsWatchesTellsNothingMore) {
  auto signal = std::make_unique<MidiDeviceSignal>();
  int told = 0;
  auto watch = signal->Watch([&] { ++told; });
  signal->Notify();
  EXPECT_EQ(told, 1);
  signal.reset();
  watch.reset(); // must not touch the signal that is gone
  EXPECT_EQ(told, 1);
}

} // namespace

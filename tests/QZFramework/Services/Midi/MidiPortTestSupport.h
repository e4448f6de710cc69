#pragma once
// A communicator over a private registry of virtual devices with a standing clock,
// for the tests of the MIDI port layer.

#include <gtest/gtest.h>

#include <memory>

#include "Platform/Midi/MidiTestSupport.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"
#include "Platform/Midi/Virtual/VirtualMidiRegistry.h"
#include "QZFramework/Services/Midi/MidiComm.h"

namespace QZTest {

class MidiPortTest : public ::testing::Test {
protected:
  void SetUp() override { mComm = QZ::LMidiCommInterface::Create(Options()); }

  QZ::MidiCommOptions Options() {
    QZ::MidiCommOptions options;
    options.backend = std::make_shared<QZ::Platform::VirtualMidiBackend>(mRegistry, mClock.Clock());
    return options;
  }

  QZ::RCPtr<QZ::LMidiCapturePort> OpenCapture(const char16_t* name) {
    QZ::RCPtr<QZ::LMidiCapturePort> port;
    return mComm->OpenCapturePort(QZ::WString(name), port);
  }
  QZ::RCPtr<QZ::LMidiRenderPort> OpenRender(const char16_t* name) {
    QZ::RCPtr<QZ::LMidiRenderPort> port;
    return mComm->OpenRenderPort(QZ::WString(name), port);
  }

  // Declared first: the devices and the communicator go before it.
  QZ::Platform::VirtualMidiRegistry mRegistry;
  FakeClock mClock;
  QZ::RCPtr<QZ::LMidiCommInterface> mComm;
};

} // namespace QZTest

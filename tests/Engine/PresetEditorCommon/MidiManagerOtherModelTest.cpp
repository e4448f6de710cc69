// A reply naming another keyboard model than the selected one is not the manager's: on
// the in-process virtual ports, whichever model is selected, on both pages.

#include <gtest/gtest.h>

#include "Engine/PresetEditorCommon/OtherModelKeyboard.h"

namespace {

TEST(MidiManagerOtherModelTest, RepliesNamingAnotherModelAreIgnoredOnBothPagesAndTheSelectedModelsAreTaken) {
  for (int32_t model = QZ::kDeviceModel25Keys; model <= QZ::kDeviceModel61Keys; ++model) {
    QZTest::MidiBench bench;
    bench.application.SetDeviceModel(model);
    QZ::Platform::Midi::VirtualMidiRegistry registry;
    QZTest::OtherModelKeyboard keyboard(model);
    QZTest::VirtualModelPorts ports(registry, model, keyboard);
    QZTest::ExpectOnlyTheSelectedModelAnswered(bench, keyboard, model, 30, [&](uint32_t replyTimeoutMs) {
      QZ::MidiManagerOptions options = bench.Options(replyTimeoutMs);
      options.midi.backend = std::make_shared<QZ::Platform::Midi::VirtualMidiBackend>(registry);
      return QZ::LMidiManager::Create(options);
    });
  }
}

} // namespace

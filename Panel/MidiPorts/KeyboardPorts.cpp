#include "Panel/MidiPorts/KeyboardPorts.h"

#include "Engine/PresetEditorCommon/MidiManager.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Services/Midi/MidiDeviceNames.h"

namespace QZ {

namespace {

void AppendKeyboardPorts(const WStringArray& devices, Platform::Midi::MidiDirection direction,
                         std::vector<KeyboardPort>& ports) {
  for (uint32_t i = 0; i < devices.GetCount(); ++i) {
    for (int32_t model = kDeviceModel25Keys; model <= kDeviceModel61Keys; ++model) {
      // Without the number that tells repeated names apart.
      const WString device = MidiDeviceNames::Split(devices.GetAt(i)).base;
      if (MidiDeviceNames::EndsWithBase(device, LMidiManager::GetModelPortName(model, direction))) {
        ports.push_back({direction, devices.GetAt(i)});
        break;
      }
    }
  }
}

} // namespace

std::vector<KeyboardPort> FindKeyboardPorts(LMidiCommInterface& midi) {
  WStringArray inputs;
  WStringArray outputs;
  midi.EnumerateCaptureDevices(inputs);
  midi.EnumerateRenderDevices(outputs);
  std::vector<KeyboardPort> ports;
  AppendKeyboardPorts(inputs, Platform::Midi::MidiDirection::Input, ports);
  AppendKeyboardPorts(outputs, Platform::Midi::MidiDirection::Output, ports);
  return ports;
}

} // namespace QZ

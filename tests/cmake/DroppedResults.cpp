// Compiled once per case by DroppedResultsTest.cmake: KEPT must compile without a warning;
// each other case drops the result of a send, an open, a load or a save and must not.
#include "Engine/PresetEditorCommon/MidiManager.h"
#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/Notification/NotificationQueue.h"
#include "QZFramework/Services/Midi/MidiCapturePort.h"
#include "QZFramework/Services/Midi/MidiRenderPort.h"
#include "QZFramework/Utilities/Storage/Array.h"
#include "UI/DriverCommon/PresetManager.h"

namespace {

struct Announcer : QZ::LControl {
  void Changed() { Announce(u"NID_VALUE_CHANGE"); }
};

struct Parts {
  QZ::LMidiRenderPort& output;
  QZ::LMidiCapturePort& input;
  QZ::LMidiManager& midi;
  QZ::LPresetManager& presets;
  QZ::LNotificationDistributor& distributor;
  QZ::LNotificationQueue& queue;
  QZ::Array<int32_t>& values;
};

[[maybe_unused]] bool Case(Parts& parts) {
  static const uint8_t bytes[] = {0x90, 60, 100};
  const QZ::WString path = u"preset.syx";
  const auto notification = QZ::LNotification::Create(u"NID_X");
#if defined(KEPT)
  parts.values.RemoveAll(); // a result that may be dropped
  return QZ::Succeeded(parts.output.Send(bytes, 0)) && parts.input.Open() == 0 &&
         QZ::Succeeded(parts.midi.OpenPorts()) && QZ::Succeeded(parts.midi.SendPresetToMidiDevice(1)) &&
         parts.presets.LoadPresetFile(path) == 0 && QZ::Succeeded(parts.presets.SavePresetFile(path)) &&
         QZ::Succeeded(parts.distributor.SendNotification(notification)) &&
         QZ::Succeeded(parts.queue.PostNotification(notification));
#elif defined(MIDI_SEND)
  parts.output.Send(bytes, 0);
#elif defined(MIDI_OPEN)
  parts.input.Open();
#elif defined(FILE_LOAD)
  parts.presets.LoadPresetFile(path);
#elif defined(FILE_SAVE)
  parts.presets.SavePresetFile(path);
#elif defined(NOTIFICATION_SEND)
  parts.distributor.SendNotification(notification);
#elif defined(NOTIFICATION_POST)
  parts.queue.PostNotification(notification);
#elif defined(VIRTUAL_OPEN)
  parts.midi.OpenPorts();
#elif defined(VIRTUAL_SEND)
  parts.midi.SendPresetToMidiDevice(1);
#endif
  return true;
}

} // namespace

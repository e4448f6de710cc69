#pragma once
// QZ::LMidiManager: moves whole presets between the engine and the keyboard as
// system-exclusive messages over the keyboard's third MIDI port pair, checks the
// keyboard's firmware, and watches the ports so that it can reopen them.
//
//   QZ::RCPtr<QZ::LMidiManager> midi = QZ::LMidiManager::Create();   // opens the model's ports
//   midi->SetParamRange({0, 140});                  // the user preset (page 0)
//   midi->SendPresetToMidiDevice(3);                // 153: stored preset 3 now holds the engine's
//   midi->GetPresetFromMidiDevice(0);               // 0: the engine holds the keyboard's RAM preset
//   midi->StartStatusPolling();                     // reconnects when the ports come back
//
// The model (the "DeviceModel" setting) is read once, at Create: the application makes
// a new manager when the user picks another model. The editor page (0 user preset,
// 1 global settings) is read at every send and request and picks the message:
//   preset, page 0:   F0 <maker> 7F 00 <model> 61 01 11 <slot> <141 parameter bytes> F7
//   preset, page 1:   F0 <maker> 7F 00 <model> 63 00 08 <5 parameter bytes> F7
//   request, page 0:  F0 <maker> 7F 00 <model> 62 00 04 <slot> F7
//   request, page 1:  F0 <maker> 7F 00 <model> 64 F7
// Parameter bytes are the values of the parameter range in id order, each as wide as the
// parameter layout says (two bytes for the clock's tempo).
//
// Threads: the public operations run on the caller's (main) thread and the requests block
// it for up to three reply time-outs. The capture handler runs on the communicator's
// delivery thread and writes the reply into the engine while the requester waits; the
// status poll runs on the manager's polling thread and is paused around every send. Where
// the devices can be watched, that thread sleeps until a device may have changed (at most
// one poll per polling interval even then) and polls on its own only every watched
// polling interval; elsewhere it polls every polling interval. The
// reconnection handler runs where the application centre delivers (the main thread).
//
// Ownership: hold the manager through QZ::RCPtr only. The polling thread's reference and
// the notification registrations are internal; letting go of the last outside reference
// stops the thread and drops the registrations.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleEngine.h"
#include "QZFramework/Notification/NotificationHandler.h"
#include "QZFramework/Services/Midi/MidiCommInterface.h"
#include "QZFramework/Services/Midi/MidiDeviceStatusChecker.h"
#include "QZFramework/Services/Sync/LEvent.h"
#include "QZFramework/Services/Sync/TrafficLight.h"
#include "QZFramework/Services/Threads/LEventGatedThreader.h"
#include "QZFramework/Utilities/Storage/Array.h"
#include "QZFramework/Utilities/Storage/ParamValues.h"

namespace QZ {

class LMidiCapturePort;
class LMidiRenderPort;

struct MidiManagerOptions {
  // The ports' backend and times; the default is the system's devices.
  MidiCommOptions midi;
  // Where presets come from and go to; null: the application's engine at Create.
  RCPtr<::LRootModuleEngine> engine;
  // Between two status polls while polling is armed; with watched devices, the least time
  // between two polls.
  uint32_t pollingIntervalMs = 500;
  // Between two status polls while polling is armed, the devices are watched and no change
  // is told: a safety net only.
  uint32_t watchedPollingIntervalMs = 10000;
  // How long one try of a request waits for its reply (three tries).
  uint32_t replyTimeoutMs = 1000;
  // The step in which stopping the polling waits for the poller.
  uint32_t stopStepMs = 100;
};

class LMidiManager : public virtual LNotificationClient,
                     public virtual LNotificationDistributor,
                     public virtual LThreadWorker {
public:
  // Results beside the framework's codes.
  static constexpr int32_t kNoPort = -1;  // a port is missing, the send failed or the slot is wrong
  static constexpr int32_t kNoReply = -3; // no accepted reply after three tries
  static constexpr uint32_t kReplyTries = 3;
  static constexpr uint8_t kUserPresetSlots = 10; // stored presets 1 to 10 beside the RAM preset 0

  // A new manager, started (ports opened, polling not armed). Main thread.
  static RCPtr<LMidiManager> Create(const MidiManagerOptions& options = {});
  // The name of the port a manager of model (0, 1 or 2) opens in direction: "MIDIIN3 (QUORIN
  // 49 ZTR)" and "MIDIOUT3 (QUORIN 49 ZTR)" for model 1; empty for another model. Any thread.
  static WString GetModelPortName(int32_t model, Platform::Midi::MidiDirection direction);

  // Sends the engine's values of the parameter range as the current page's preset, for
  // the user page into slot presetNumber (0 RAM, 1 to 10 stored). The bytes sent (153 or
  // 16); -1 without an output port, on another page, for a user-page slot outside 0 to 10
  // or when the send fails; QZ_E_FAIL when the engine is missing, returns a number of
  // values other than the range's or a value that is no buffer (QZ_E_NOTIMPL a list);
  // QZ_E_INVALIDARG for a value not as wide as the layout says or with a byte of 0x80 or more.
  // Nothing is sent on a failure.
  [[nodiscard]] virtual QZResult SendPresetToMidiDevice(int32_t presetNumber);
  // Requests the current page's preset (slot presetNumber on the user page) and waits for
  // the reply, which the capture handler writes into the engine (each change is posted
  // by the engine); up to three tries. A reply counts only with the page's length, header
  // and page byte, F7 last and no byte of 0x80 or more between F0 and F7; any other is
  // ignored and leaves the engine as it was. 0 reply applied; -1 a port missing, another
  // page, a bad slot or a failed send; -3 no accepted reply; QZ_E_FAIL no engine. Throws
  // QZ::FailedResultException when the capture handler cannot be (un)registered.
  [[nodiscard]] virtual QZResult GetPresetFromMidiDevice(int32_t presetNumber);
  // 0 when both ports are open, else -1; value is not used.
  virtual QZResult CheckConnection(const Variant& value, RCPtr<LRefCountedObject> reference);
  // Registers and unregisters the capture handler around closing the parameter reply
  // gate; no message exists for such a request, so nothing is sent. 0, or QZ_E_FAIL
  // when the ports are not both open; throws as GetPresetFromMidiDevice.
  [[nodiscard]] virtual QZResult RequestNonPresetParameterFromDevice(const WString& name,
                                                                     RCPtr<LRefCountedObject> reference);
  // The bytes through the output port as they are: -1 when a watched output device is
  // missing, else the communicator's result.
  [[nodiscard]] virtual QZResult SendMidiData(const IArray<signed char>& bytes);
  // Runs once, from Create: makes the communicator and the status checker, the polling
  // thread, subscribes the reconnection handler at the application centre (when there is
  // one) and opens the ports.
  virtual void Start();
  // Sends the universal identity request and waits for a reply naming this model's
  // family and member with firmware 1.0.0.0 or later; up to three tries. Throws as
  // GetPresetFromMidiDevice.
  virtual bool IsDeviceFirmwareVersionUseable();
  virtual bool ArePortsOpen() const;
  // Opens the model's input and output ports by name: 1 when both were open, 0 when both
  // are now, else QZ_E_FAIL (the one that opened stays open).
  [[nodiscard]] virtual QZResult OpenPorts();
  // Releases both ports: 0.
  virtual QZResult ClosePorts();
  virtual RCPtr<LMidiCommInterface> GetCommunicator() const;
  // The names the ports opened under while both are open, else empty.
  virtual WString GetInputPortName() const;
  virtual WString GetOutputPortName() const;
  // The parameters a preset is made of: {0, 140} for the user page, {140, 5} for the
  // global page (the start-up range is {first id, 145}).
  virtual void SetParamRange(const ParamIdRange& range);
  // F0 7E 7F 06 01 F7 through port: the send result.
  [[nodiscard]] virtual QZResult SendIdentityRequest(LMidiRenderPort* port);

  // Arms the status polling: a poll now, then one every polling interval. 1 when armed.
  QZResult StartStatusPolling();
  // Disarms it, returning once no poll runs (in steps of the stop step). 1 when not armed.
  QZResult StopStatusPolling();
  bool IsStatusPollingArmed() const { return mPollingArmed; }
  // Status poll passes so far, including those that only counted themselves.
  uint32_t GetPollingPassCount() const { return mPollingPasses; }

  // Frames message in place (F0 first, F7 last, each added when missing) and sends it
  // through port with the polling paused. -1 without a port or communicator; QZ_E_INVALIDARG
  // for an empty message; QZ_E_FAIL for the lone byte F0 or F7; else the send result.
  [[nodiscard]] QZResult SendSysEx(Array<signed char>& message, LMidiRenderPort* port);

  ParamIdRange GetParamRange() const { return mParamRange; }
  // The model's byte in maker messages (QZ::KeyboardModelByte of the model index).
  uint8_t GetModelByte() const { return mModelByte; }

  // The status poll, on the polling thread.
  int32_t Process(RCPtr<LRefCountedObject>* argument) override;
  // Passes notifications to the handler once started.
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification) override;
  // Drops the polling thread (which it waits for), then the client's release step.
  QZResult ReleaseInternalReferences() override;

protected:
  explicit LMidiManager(const MidiManagerOptions& options);
  ~LMidiManager() override;

private:
  // What the capture handler is waiting for.
  enum class Awaited { Nothing, Preset, Identity };

  // Handlers.
  QZResult OnDataCaptured(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  QZResult OnInputDeviceStatusChanged(const RCPtr<LNotificationDistributor>& distributor,
                                      const RCPtr<LNotification>& notification);

  // Capture handler parts; under mReplyMutex.
  bool IsExpectedPresetReply(const signed char* bytes, uint32_t count) const;
  void ApplyPresetReply(const signed char* bytes, uint32_t count);
  bool IsUsableIdentityReply(const signed char* bytes, uint32_t count) const;

  // Registers the capture handler for a request (throws at line registerLine on failure),
  // closes the request's gate and states what the handler accepts; the reverse, throwing
  // at unregisterLine when no registration was found.
  void BeginAwaiting(Awaited awaited, TrafficLight& gate, const char* method, int registerLine);
  void EndAwaiting(const char* method, int unregisterLine);
  // Re-arms polling that was armed and is no longer.
  void RestorePolling(bool wasArmed);
  // With watched devices, on the polling thread: whether this wake polls. A wake on a change
  // within an interval of the previous poll is put off to the interval's end, so that what
  // a poll itself changes (ports it opens to test a device) never polls faster than polling
  // without a watch. Sets the wait for the next wake.
  bool IsPollDue();
  // The message body before its parameter bytes, or false for another page or a bad slot.
  bool BuildPresetHeader(int32_t page, int32_t presetNumber, Array<signed char>& body) const;
  // Appends the engine's values of the range to body; 0 or the refusal.
  QZResult AppendParameterBytes(Array<signed char>& body, uint32_t bodyLength);

  const MidiManagerOptions mOptions;
  RCPtr<LNotificationHandler<LMidiManager>> mHandler;
  RCPtr<LMidiCommInterface> mCommunicator;
  RCPtr<::LRootModuleEngine> mEngine;
  TrafficLight mPresetReplyGate;
  TrafficLight mParameterReplyGate;
  TrafficLight mIdentityReplyGate;
  RCPtr<LMidiRenderPort> mOutputPort;
  RCPtr<LMidiCapturePort> mInputPort;
  WString mInputPortName;
  WString mOutputPortName;
  WStringArray mInputNames;  // of the model
  WStringArray mOutputNames; // of the model
  uint8_t mModelByte = 0xFF;

  RCPtr<LMidiDeviceStatusChecker> mStatusChecker;
  std::mutex mStatusCheckerMutex; // the checker is one thread's at a time
  RCPtr<LEventGatedThreader> mPollingThreader;
  // The same, for the polling thread: kept while the member above is let go and joins it.
  LEventGatedThreader* mPoller = nullptr;
  RCPtr<LEvent> mPollingGate;
  std::unique_ptr<Platform::Midi::MidiDeviceWatch> mDeviceWatch; // sets the gate; null: polls
  std::mutex mWaitMutex;                           // the polling wait's time-out with the armed and stop flags
  std::atomic<bool> mPollRequested{false};         // StartStatusPolling's "a poll now"
  std::chrono::steady_clock::time_point mLastPoll; // on the polling thread
  std::atomic<bool> mPollingArmed{false};
  std::atomic<bool> mPollingStop{false};
  std::atomic<uint32_t> mPollingPasses{0};
  Event mPollingPassDone{true};
  std::atomic<bool> mStarted{false};
  ParamIdRange mParamRange;

  // What the capture handler accepts and the page of the request; the handler holds the
  // lock while it writes into the engine, so no reply is applied after a request ended.
  std::mutex mReplyMutex;
  Awaited mAwaited = Awaited::Nothing;
  int32_t mRequestPage = 0;
  ParamIdRange mRequestRange;
  uint32_t mRequestFirstParamID = 0;
};

} // namespace QZ

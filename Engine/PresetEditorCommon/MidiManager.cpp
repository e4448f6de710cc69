// LMidiManager: lifecycle, ports, status polling and the reconnection handler. The
// preset exchange and the firmware check are in MidiManagerExchange.cpp.

#include "Engine/PresetEditorCommon/MidiManager.h"

#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"
#include "DeviceControl/MakerMidiId.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Services/Midi/MidiCapturePort.h"
#include "QZFramework/Services/Midi/MidiRenderPort.h"

namespace QZ {
namespace {

constexpr char16_t kInputStatusChanged[] = u"NID_MIDI_INPUT_DEVICE_CONNECTION_STATUS_CHANGED";

// The third port pair of each model, by model index.
constexpr const char16_t* kInputNames[] = {u"MIDIIN3 (QUORIN 25 ZTR)", u"MIDIIN3 (QUORIN 49 ZTR)",
                                           u"MIDIIN3 (QUORIN 61 ZTR)"};
constexpr const char16_t* kOutputNames[] = {u"MIDIOUT3 (QUORIN 25 ZTR)", u"MIDIOUT3 (QUORIN 49 ZTR)",
                                            u"MIDIOUT3 (QUORIN 61 ZTR)"};

} // namespace

RCPtr<LMidiManager> LMidiManager::Create(const MidiManagerOptions& options) {
  RCPtr<LMidiManager> manager(new LMidiManager(options));
  manager->Start();
  return manager;
}

WString LMidiManager::GetModelPortName(int32_t model, Platform::Midi::MidiDirection direction) {
  if (model < kDeviceModel25Keys || model > kDeviceModel61Keys) {
    return WString();
  }
  return WString(direction == Platform::Midi::MidiDirection::Input ? kInputNames[model] : kOutputNames[model]);
}

LMidiManager::LMidiManager(const MidiManagerOptions& options) : mOptions(options) {}

LMidiManager::~LMidiManager() = default;

void LMidiManager::Start() {
  mHandler = new LNotificationHandler<LMidiManager>(*this);
  mCommunicator = LMidiCommInterface::Create(mOptions.midi);
  const int32_t model = GetDeviceModel();
  mModelByte = KeyboardModelByte(model);
  if (model >= kDeviceModel25Keys && model <= kDeviceModel61Keys) {
    mInputNames.AddItem(GetModelPortName(model, Platform::Midi::MidiDirection::Input));
    mOutputNames.AddItem(GetModelPortName(model, Platform::Midi::MidiDirection::Output));
  }
  mEngine = mOptions.engine;
  if (!mEngine) {
    if (const IApplicationContext* context = GetApplicationContext()) {
      mEngine = context->GetRootModuleEngine();
    }
  }
  if (mCommunicator) {
    mParamRange = {mEngine ? mEngine->GetFirstParamID() : 0, ParameterLayout::kParameterCount};
    mStatusChecker = LMidiDeviceStatusChecker::Create(mCommunicator);
    mStatusChecker->EnumerateCaptureDevices(mInputNames);
    mStatusChecker->EnumerateRenderDevices(mOutputNames);
  }
  if (mStatusChecker) {
    mPollingGate = new LEvent(false);
    mDeviceWatch = mCommunicator->WatchDevices([gate = mPollingGate] { gate->Set(); });
    mPollingThreader = new LEventGatedThreader(mPollingGate, RCPtr<LThreadWorker>(this), nullptr, 0);
    mPoller = mPollingThreader.Get();
    // The polling thread holds the manager; ReleaseInternalReferences lets it go.
    AddInternalReferences(1);
    mPollingArmed = false;
    mPollingStop = false;
    mStarted = true;
  }
  if (LNotificationCenter* centre = GetApplicationNotificationCenter()) {
    // A handler, a distributor and a name: cannot fail.
    mHandler->AddHandler(&LMidiManager::OnInputDeviceStatusChanged, RCPtr<LNotificationDistributor>(centre),
                         kInputStatusChanged);
  }
  (void)OpenPorts(); // ports that stay closed are opened again when their device returns
}

QZResult LMidiManager::ReleaseInternalReferences() {
  mStarted = false;
  if (mPollingThreader) {
    AddInternalReferences(-1);
    // Joins the polling thread, which then lets go of its reference.
    mPollingThreader = nullptr;
  }
  mDeviceWatch = nullptr;
  ReleaseClientReferences();
  return LRefCountedObject::ReleaseInternalReferences();
}

QZResult LMidiManager::ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                                           const RCPtr<LNotification>& notification) {
  return mHandler && mStarted ? mHandler->HandleNotification(distributor, notification) : QZResult(QZ_OK);
}

QZResult LMidiManager::CheckConnection(const Variant&, RCPtr<LRefCountedObject>) {
  return ArePortsOpen() ? QZ_OK : kNoPort;
}

bool LMidiManager::ArePortsOpen() const { return mInputPort && mOutputPort; }

QZResult LMidiManager::OpenPorts() {
  if (ArePortsOpen()) {
    return QZ_FALSE;
  }
  const bool wasArmed = mPollingArmed;
  StopStatusPolling();
  for (uint32_t i = 0; i < mInputNames.GetCount(); ++i) {
    if (mCommunicator->OpenCapturePort(mInputNames.GetAt(i), mInputPort)) {
      mInputPortName = mInputNames.GetAt(i);
      break;
    }
  }
  for (uint32_t i = 0; i < mOutputNames.GetCount(); ++i) {
    if (mCommunicator->OpenRenderPort(mOutputNames.GetAt(i), mOutputPort)) {
      mOutputPortName = mOutputNames.GetAt(i);
      break;
    }
  }
  RestorePolling(wasArmed);
  return ArePortsOpen() ? QZ_OK : QZ_E_FAIL;
}

QZResult LMidiManager::ClosePorts() {
  const bool wasArmed = mPollingArmed;
  StopStatusPolling();
  mInputPort = nullptr;
  mOutputPort = nullptr;
  RestorePolling(wasArmed);
  return QZ_OK;
}

RCPtr<LMidiCommInterface> LMidiManager::GetCommunicator() const { return mCommunicator; }

WString LMidiManager::GetInputPortName() const { return ArePortsOpen() ? mInputPortName : WString(); }

WString LMidiManager::GetOutputPortName() const { return ArePortsOpen() ? mOutputPortName : WString(); }

void LMidiManager::SetParamRange(const ParamIdRange& range) { mParamRange = range; }

QZResult LMidiManager::SendMidiData(const IArray<signed char>& bytes) {
  {
    std::lock_guard hold(mStatusCheckerMutex);
    if (mStatusChecker && !mStatusChecker->CheckRenderDevices()) {
      return kNoPort;
    }
  }
  return mCommunicator->SendMidiData(mOutputPort.Get(), bytes);
}

QZResult LMidiManager::StartStatusPolling() {
  if (mPollingArmed || !mPollingThreader) {
    return QZ_FALSE;
  }
  {
    std::lock_guard hold(mWaitMutex);
    mPollingArmed = true;
    mPollRequested = true;
    mPollingThreader->SetWaitTimeout(mDeviceWatch ? mOptions.watchedPollingIntervalMs : mOptions.pollingIntervalMs);
  }
  mPollingGate->Set();
  return QZ_OK;
}

QZResult LMidiManager::StopStatusPolling() {
  if (!mPollingArmed) {
    return QZ_FALSE;
  }
  {
    std::lock_guard hold(mWaitMutex);
    mPollingThreader->SetWaitTimeout(Event::kInfinite);
    mPollingStop = true;
  }
  const uint32_t passes = mPollingPasses;
  if (mPollingThreader->IsRunning()) {
    while (mPollingThreader->IsRunning()) {
      mPollingPassDone.Wait(mOptions.stopStepMs);
    }
  } else {
    // The pass this wakes sees the stop flag and only counts itself.
    mPollingGate->Set();
    while (mPollingPasses == passes || mPollingThreader->IsRunning()) {
      mPollingPassDone.Wait(mOptions.stopStepMs);
    }
  }
  mPollingArmed = false;
  mPollingStop = false;
  return QZ_OK;
}

void LMidiManager::RestorePolling(bool wasArmed) {
  if (wasArmed && !mPollingArmed) {
    StartStatusPolling(); // armed, or armed already
  }
}

int32_t LMidiManager::Process(RCPtr<LRefCountedObject>*) {
  // A wake left over from a stop finds polling neither armed nor stopping: it is no pass,
  // so the counter stays still while polling is paused.
  if (!mPollingStop && !mPollingArmed) {
    return QZ_OK;
  }
  if (mDeviceWatch && !IsPollDue()) {
    return QZ_OK;
  }
  ++mPollingPasses;
  if (!mPollingStop) {
    std::lock_guard hold(mStatusCheckerMutex);
    mStatusChecker->CheckCaptureDevices();
    mStatusChecker->CheckRenderDevices();
  }
  mPollingPassDone.Set();
  return QZ_OK;
}

bool LMidiManager::IsPollDue() {
  std::lock_guard hold(mWaitMutex);
  if (mPollingStop || !mPollingArmed) {
    return true; // a stopping pass only counts itself
  }
  const auto now = std::chrono::steady_clock::now();
  const auto interval = std::chrono::milliseconds(mOptions.pollingIntervalMs);
  const bool requested = mPollRequested.exchange(false);
  if (!requested && mPoller->GetLastWaitResult() == Event::kSignalled && now - mLastPoll < interval) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(interval - (now - mLastPoll));
    mPoller->SetWaitTimeout(static_cast<uint32_t>(left.count()));
    return false;
  }
  mLastPoll = now;
  mPoller->SetWaitTimeout(mOptions.watchedPollingIntervalMs);
  return true;
}

QZResult LMidiManager::OnInputDeviceStatusChanged(const RCPtr<LNotificationDistributor>&,
                                                  const RCPtr<LNotification>& notification) {
  if (notification->GetParameter()) {
    ClosePorts();
    (void)OpenPorts(); // ports that stay closed are opened again when their device returns
  }
  return QZ_FALSE;
}

} // namespace QZ

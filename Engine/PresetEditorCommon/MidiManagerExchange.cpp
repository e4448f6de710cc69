// LMidiManager: system-exclusive framing, sending and requesting presets, the capture
// handler and the firmware check.

#include <algorithm>
#include <array>
#include <vector>

#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"
#include "DeviceControl/MakerMidiId.h"
#include "Engine/PresetEditorCommon/MidiManager.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Services/Midi/MidiCaptureNotificationData.h"
#include "QZFramework/Services/Midi/MidiCapturePort.h"
#include "QZFramework/Services/Midi/MidiRenderPort.h"

namespace QZ {
namespace {

constexpr char kPath[] = R"(Engine\PresetEditorCommon\MidiManager)";

constexpr signed char kSysExStart = static_cast<signed char>(0xF0);
constexpr signed char kSysExEnd = static_cast<signed char>(0xF7);

constexpr int32_t kUserPage = 0;
constexpr int32_t kGlobalPage = 1;

// Lengths of the preset messages, F0 and F7 included, and where their parameters start.
constexpr uint32_t kUserPresetLength = 153;
constexpr uint32_t kGlobalPresetLength = 16;
constexpr uint32_t kUserPresetParamOffset = 11;
constexpr uint32_t kGlobalPresetParamOffset = 10;
constexpr uint8_t kGlobalPresetPageByte = 0x63;

// F0 7E <device> 06 02 <maker ID> <family> <member> <version> F7.
constexpr uint32_t kIdentityReplyLength = 17;
constexpr std::array<uint8_t, 4> kLowestUsableFirmware{1, 0, 0, 0};

int32_t CurrentEditorPage() {
  const IApplicationContext* context = GetApplicationContext();
  return context ? context->GetCurrentEditorPage() : kUserPage;
}

void Append(Array<signed char>& body, std::initializer_list<uint8_t> bytes) {
  for (uint8_t byte : bytes) {
    body.AddItem(static_cast<signed char>(byte));
  }
}

uint8_t ByteAt(const signed char* bytes, uint32_t index) { return static_cast<uint8_t>(bytes[index]); }

// F0 first, F7 last and only data bytes between: a byte of 0x80 or more taken into the
// engine would make every later send of the preset fail.
bool IsWholeSysEx(const signed char* bytes, uint32_t count) {
  return count >= 2 && bytes[0] == kSysExStart && bytes[count - 1] == kSysExEnd &&
         std::all_of(bytes + 1, bytes + count - 1, [](signed char byte) { return byte >= 0; });
}

// The layout width of a parameter, or 0 for an id outside the layout.
uint32_t ParamWidth(uint32_t id, uint32_t firstParamID) {
  const uint32_t relative = id - firstParamID;
  return id >= firstParamID && relative < ParameterLayout::kParameterCount
             ? ParameterLayout::kParameterTable[relative].defaultValue.width
             : 0;
}

} // namespace

QZResult LMidiManager::SendSysEx(Array<signed char>& message, LMidiRenderPort* port) {
  if (!port || !mCommunicator) {
    return kNoPort;
  }
  const uint32_t count = message.GetCount();
  if (count == 0) {
    return QZ_E_INVALIDARG;
  }
  if (count == 1 && (message.GetAt(0) == kSysExStart || message.GetAt(0) == kSysExEnd)) {
    return QZ_E_FAIL;
  }
  if (message.GetAt(0) != kSysExStart) {
    message.InsertAt(0, kSysExStart);
  }
  if (count == 1 || message.GetAt(message.GetCount() - 1) != kSysExEnd) {
    message.AddItem(kSysExEnd);
  }
  const bool wasArmed = mPollingArmed;
  StopStatusPolling();
  const QZResult result = mCommunicator->SendMidiData(port, message);
  RestorePolling(wasArmed);
  return result;
}

bool LMidiManager::BuildPresetHeader(int32_t page, int32_t presetNumber, Array<signed char>& body) const {
  if (page != kUserPage && page != kGlobalPage) {
    return false;
  }
  // A slot byte of 0x80 or more would end the message early on the wire.
  if (page == kUserPage && (presetNumber < 0 || presetNumber > kUserPresetSlots)) {
    return false;
  }
  for (uint8_t byte : kMakerMidiId) {
    Append(body, {byte});
  }
  Append(body, {0x7F, 0x00, mModelByte});
  return true;
}

QZResult LMidiManager::SendPresetToMidiDevice(int32_t presetNumber) {
  if (!mOutputPort) {
    return kNoPort;
  }
  const int32_t page = CurrentEditorPage();
  Array<signed char> body;
  if (!BuildPresetHeader(page, presetNumber, body)) {
    return kNoPort;
  }
  if (page == kUserPage) {
    Append(body, {0x61, 0x01, 0x11, static_cast<uint8_t>(presetNumber)});
  } else {
    Append(body, {kGlobalPresetPageByte, 0x00, 0x08});
  }
  const QZResult appended =
      AppendParameterBytes(body, (page == kUserPage ? kUserPresetLength : kGlobalPresetLength) - 2);
  if (Failed(appended)) {
    return appended;
  }
  return SendSysEx(body, mOutputPort.Get());
}

QZResult LMidiManager::AppendParameterBytes(Array<signed char>& body, uint32_t bodyLength) {
  if (!mEngine) {
    return QZ_E_FAIL;
  }
  const ParamIdRange range = mParamRange;
  Array<ParamValue> values;
  mEngine->GetParamValues(range, values, -1);
  // Sending fewer values would overwrite the rest of the keyboard's preset with zeros.
  if (values.GetCount() != range.count) {
    return QZ_E_FAIL;
  }
  const uint32_t firstParamID = mEngine->GetFirstParamID();
  const uint32_t headerLength = body.GetCount();
  body.SetCount(bodyLength);
  uint32_t position = headerLength;
  for (uint32_t i = 0; i < values.GetCount(); ++i) {
    const ParamValue& entry = values.GetAt(i);
    if (entry.value.GetType() == Variant::List) {
      return QZ_E_NOTIMPL;
    }
    const uint32_t width = ParamWidth(entry.GetId(), firstParamID);
    if (entry.value.GetType() != Variant::Buffer || width == 0) {
      return QZ_E_FAIL;
    }
    uint32_t size = 0;
    const auto* bytes = static_cast<const uint8_t*>(entry.value.GetData(size));
    if (size != width || std::any_of(bytes, bytes + size, [](uint8_t byte) { return byte >= 0x80; })) {
      return QZ_E_INVALIDARG;
    }
    for (uint32_t k = 0; k < size && position < bodyLength; ++k, ++position) {
      body.GetAt(position) = static_cast<signed char>(bytes[k]);
    }
  }
  return QZ_OK;
}

QZResult LMidiManager::GetPresetFromMidiDevice(int32_t presetNumber) {
  static constexpr char kMethod[] = "QZ::LMidiManager::GetPresetFromMidiDevice";
  if (!mInputPort || !mOutputPort) {
    return kNoPort;
  }
  const int32_t page = CurrentEditorPage();
  Array<signed char> request;
  if (!BuildPresetHeader(page, presetNumber, request)) {
    return kNoPort;
  }
  if (!mEngine) {
    return QZ_E_FAIL;
  }
  if (page == kUserPage) {
    Append(request, {0x62, 0x00, 0x04, static_cast<uint8_t>(presetNumber)});
  } else {
    Append(request, {0x64});
  }
  const bool wasArmed = mPollingArmed;
  StopStatusPolling();
  {
    std::lock_guard hold(mReplyMutex);
    mRequestPage = page;
    mRequestRange = mParamRange;
    mRequestFirstParamID = mEngine->GetFirstParamID();
  }
  BeginAwaiting(Awaited::Preset, mPresetReplyGate, kMethod, 462);
  QZResult result = kNoReply;
  for (uint32_t attempt = 0; attempt < kReplyTries; ++attempt) {
    if (Failed(SendSysEx(request, mOutputPort.Get()))) {
      result = kNoPort;
      break;
    }
    if (mPresetReplyGate.IsSet() || mPresetReplyGate.Wait(mOptions.replyTimeoutMs) == Event::kSignalled) {
      result = QZ_OK;
      break;
    }
  }
  EndAwaiting(kMethod, 501);
  RestorePolling(wasArmed);
  return result;
}

QZResult LMidiManager::SendIdentityRequest(LMidiRenderPort* port) {
  Array<signed char> request;
  Append(request, {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7});
  return SendSysEx(request, port);
}

bool LMidiManager::IsDeviceFirmwareVersionUseable() {
  static constexpr char kMethod[] = "QZ::LMidiManager::IsDeviceFirmwareVersionUseable";
  if (!ArePortsOpen()) {
    return false;
  }
  BeginAwaiting(Awaited::Identity, mIdentityReplyGate, kMethod, 714);
  bool usable = false;
  for (uint32_t attempt = 0; attempt < kReplyTries && !usable; ++attempt) {
    usable = !Failed(SendIdentityRequest(mOutputPort.Get())) &&
             (mIdentityReplyGate.IsSet() || mIdentityReplyGate.Wait(mOptions.replyTimeoutMs) == Event::kSignalled);
  }
  EndAwaiting(kMethod, 745);
  return usable;
}

QZResult LMidiManager::RequestNonPresetParameterFromDevice(const WString&, RCPtr<LRefCountedObject>) {
  static constexpr char kMethod[] = "QZ::LMidiManager::RequestNonPresetParameterFromDevice";
  if (!ArePortsOpen()) {
    return QZ_E_FAIL;
  }
  const bool wasArmed = mPollingArmed;
  StopStatusPolling();
  BeginAwaiting(Awaited::Nothing, mParameterReplyGate, kMethod, 647);
  EndAwaiting(kMethod, 679);
  RestorePolling(wasArmed);
  return QZ_OK;
}

void LMidiManager::BeginAwaiting(Awaited awaited, TrafficLight& gate, const char* method, int registerLine) {
  CheckResult(mHandler->AddHandler(&LMidiManager::OnDataCaptured, RCPtr<LNotificationDistributor>(mCommunicator),
                                   kMidiDataCapturedName),
              {method, kPath, registerLine});
  std::lock_guard hold(mReplyMutex);
  gate.Reset();
  mAwaited = awaited;
}

void LMidiManager::EndAwaiting(const char* method, int unregisterLine) {
  {
    std::lock_guard hold(mReplyMutex);
    mAwaited = Awaited::Nothing;
  }
  if (UnregisterNotification(mCommunicator.Get(), kMidiDataCapturedName) != QZ_OK) {
    CheckResult(QZ_E_FAIL, {method, kPath, unregisterLine});
  }
}

QZResult LMidiManager::OnDataCaptured(const RCPtr<LNotificationDistributor>& distributor,
                                      const RCPtr<LNotification>& notification) {
  const RCPtr<LMidiCaptureNotificationData> data = notification->GetParameterAs<LMidiCaptureNotificationData>();
  if (distributor.Get() != static_cast<LNotificationDistributor*>(mCommunicator.Get()) || !data) {
    return QZ_FALSE;
  }
  const std::vector<signed char> bytes(data->GetBytes().GetData(), data->GetBytes().GetData() + data->GetCount());
  std::lock_guard hold(mReplyMutex);
  if (mAwaited == Awaited::Preset && !mPresetReplyGate.IsSet() &&
      IsExpectedPresetReply(bytes.data(), uint32_t(bytes.size()))) {
    ApplyPresetReply(bytes.data(), uint32_t(bytes.size()));
    mPresetReplyGate.Set();
  } else if (mAwaited == Awaited::Identity && IsUsableIdentityReply(bytes.data(), uint32_t(bytes.size()))) {
    mIdentityReplyGate.Set();
  }
  return QZ_FALSE;
}

bool LMidiManager::IsExpectedPresetReply(const signed char* bytes, uint32_t count) const {
  if (count < 7 || !IsWholeSysEx(bytes, count) || ByteAt(bytes, 4) != 0x7F || ByteAt(bytes, 5) != 0x00 ||
      ByteAt(bytes, 6) != mModelByte) {
    return false;
  }
  for (uint32_t i = 0; i < kMakerMidiId.size(); ++i) {
    if (ByteAt(bytes, 1 + i) != kMakerMidiId[i]) {
      return false;
    }
  }
  if (mRequestPage == kUserPage) {
    return count == kUserPresetLength;
  }
  return count == kGlobalPresetLength && ByteAt(bytes, 7) == kGlobalPresetPageByte;
}

void LMidiManager::ApplyPresetReply(const signed char* bytes, uint32_t count) {
  uint32_t position = mRequestPage == kUserPage ? kUserPresetParamOffset : kGlobalPresetParamOffset;
  // The last parameter byte is the one before F7: a range asking for more stops there.
  const uint32_t end = count - 1;
  for (uint32_t i = 0; i < mRequestRange.count; ++i) {
    const uint32_t id = mRequestRange.first + i;
    const uint32_t width = ParamWidth(id, mRequestFirstParamID);
    if (width == 0 || position + width > end) {
      return;
    }
    Variant value;
    value.SetBuffer(bytes + position, width);
    mEngine->SetParamValue(ParamDescriptor(id), value);
    position += width;
  }
}

bool LMidiManager::IsUsableIdentityReply(const signed char* bytes, uint32_t count) const {
  if (count != kIdentityReplyLength || !IsWholeSysEx(bytes, count)) {
    return false;
  }
  const std::array<uint8_t, 17> expected{0xF0,
                                         0x7E,
                                         0,
                                         0x06,
                                         0x02,
                                         kMakerMidiId[0],
                                         kMakerMidiId[1],
                                         kMakerMidiId[2],
                                         kKeyboardFamilyId[0],
                                         kKeyboardFamilyId[1],
                                         mModelByte,
                                         0x00};
  for (uint32_t i = 0; i < 12; ++i) {
    // Byte 2 is the answering device's id: any.
    if (i != 2 && ByteAt(bytes, i) != expected[i]) {
      return false;
    }
  }
  const std::array<uint8_t, 4> version{ByteAt(bytes, 12), ByteAt(bytes, 13), ByteAt(bytes, 14), ByteAt(bytes, 15)};
  return version >= kLowestUsableFirmware;
}

} // namespace QZ

#include "QZFramework/Services/Midi/MidiComm.h"

#include <limits>

#include "Platform/Midi/MidiSystem.h"
#include "QZFramework/Services/Midi/MidiDeviceNames.h"
#include "QZFramework/Services/Trace/DebugTrace.h"

namespace QZ {

using Platform::Midi::MidiDirection;

namespace {

// The pool's queue thread runs at THREAD_PRIORITY_HIGHEST.
constexpr int32_t kDeliveryPriority = 2;

std::shared_ptr<Platform::Midi::MidiBackend> SystemBackend() {
  return Platform::Midi::MidiSystem::CreateDefault(
      [](const std::string& text) { DebugTrace::Get().Narrow() << "QZ::LMidiComm : " << text << "\n"; });
}

} // namespace

RCPtr<LMidiCommInterface> LMidiCommInterface::Create(const MidiCommOptions& options) {
  return RCPtr<LMidiCommInterface>(new LMidiComm(options));
}

LMidiComm::LMidiComm(const MidiCommOptions& options)
    : mOptions(options), mBackend(options.backend ? options.backend : SystemBackend()),
      mPool(LThreadPool::Create(1, kDeliveryPriority, options.poolTimeouts)) {}

LMidiComm::~LMidiComm() { mPool->Stop(); }

void LMidiComm::EnumerateCaptureDevices(WStringArray& names) {
  names.AppendArray(MidiDeviceNames::MakeUnique(ListDevices(MidiDirection::Input)));
}

void LMidiComm::EnumerateRenderDevices(WStringArray& names) {
  names.AppendArray(MidiDeviceNames::MakeUnique(ListDevices(MidiDirection::Output)));
}

RCPtr<LMidiCapturePort>& LMidiComm::OpenCapturePort(const WString& name, RCPtr<LMidiCapturePort>& out) {
  Mutex::ScopedLock hold(mPortsMutex);
  out = nullptr;
  WStringArray names;
  EnumerateCaptureDevices(names);
  const MidiDeviceNames::NameMatch match = MidiDeviceNames::Find(names, name);
  if (match.count > 1) {
    return out;
  }
  if (match.count == 1) {
    for (uint32_t i = 0; i < mCapturePorts.GetCount(); ++i) {
      const RCPtr<LMidiCapturePort>& port = mCapturePorts.GetAt(i);
      if (port->GetName().CompareNoCase(name) != 0) {
        continue;
      }
      // A port whose device went away is opened and started again on its new connection.
      if (port->IsAlive() || (port->Open() == 0 && port->Start() == 0)) {
        out = port;
      }
      return out;
    }
  }
  RCPtr<LMidiCapturePort> port(new LMidiCapturePort(name, this));
  if (port->Open() == 0 && port->Start() == 0) {
    mCapturePorts.AddItem(port);
    port->AddInternalReferences(1);
    out = port;
  }
  return out;
}

RCPtr<LMidiRenderPort>& LMidiComm::OpenRenderPort(const WString& name, RCPtr<LMidiRenderPort>& out) {
  Mutex::ScopedLock hold(mPortsMutex);
  out = nullptr;
  WStringArray names;
  EnumerateRenderDevices(names);
  const MidiDeviceNames::NameMatch match = MidiDeviceNames::Find(names, name);
  if (match.count > 1) {
    return out;
  }
  if (match.count == 1) {
    const WString& entry = names.GetAt(uint32_t(match.index));
    for (uint32_t i = 0; i < mRenderPorts.GetCount(); ++i) {
      const RCPtr<LMidiRenderPort>& port = mRenderPorts.GetAt(i);
      // By the list entry, and by the requested name for an entry that only contains it,
      // so that opening the same name twice never opens the device twice.
      if (port->GetName().CompareNoCase(entry) != 0 && port->GetName().CompareNoCase(name) != 0) {
        continue;
      }
      if (port->IsAlive() || port->Open() == 0) {
        out = port;
      }
      return out;
    }
  }
  RCPtr<LMidiRenderPort> port(new LMidiRenderPort(name, this));
  if (port->Open() == 0) {
    mRenderPorts.AddItem(port);
    port->AddInternalReferences(1);
    out = port;
  }
  return out;
}

QZResult LMidiComm::SendMidiData(LMidiRenderPort* port, const RCPtr<LIBuffer>& bytes) {
  return bytes ? Send(port, reinterpret_cast<const uint8_t*>(bytes->GetData()), bytes->GetSize())
               : Send(port, nullptr, 0);
}

QZResult LMidiComm::SendMidiData(LMidiRenderPort* port, const IArray<signed char>& bytes) {
  const uint32_t count = bytes.GetCount();
  return Send(port, count != 0 ? reinterpret_cast<const uint8_t*>(bytes.GetData()) : nullptr, count);
}

QZResult LMidiComm::Send(LMidiRenderPort* port, const uint8_t* bytes, uint32_t count) {
  if (!port || count == 0 || count > uint32_t(std::numeric_limits<int32_t>::max())) {
    return QZ_E_INVALIDARG;
  }
  return port->Send({bytes, count}, mOptions.sendTimeoutMs);
}

void LMidiComm::QueueCapture(const RCPtr<LMidiCaptureNotificationData>& data) {
  mPool->QueueWork(RCPtr<LThreadWorker>(this), data, 0);
}

template <class Port>
QZResult LMidiComm::RemovePort(RCPtrArray<Port, 1, 0>& ports, Port& port) {
  RCPtr<Port> removed;
  {
    Mutex::ScopedLock hold(mPortsMutex);
    // Opened again meanwhile: it stays.
    if (port.GetRefCount() - port.GetInternalRefCount() > 1) {
      return QZ_E_FAIL;
    }
    for (uint32_t i = 0; i < ports.GetCount(); ++i) {
      if (ports.GetAt(i).Get() == &port) {
        ports.RemoveItem(i, removed);
        port.AddInternalReferences(-1);
        return QZ_OK;
      }
    }
  }
  return QZ_E_FAIL;
}

QZResult LMidiComm::RemoveCapturePort(LMidiCapturePort& port) { return RemovePort(mCapturePorts, port); }

QZResult LMidiComm::RemoveRenderPort(LMidiRenderPort& port) { return RemovePort(mRenderPorts, port); }

int32_t LMidiComm::Process(RCPtr<LRefCountedObject>* argument) {
  if (const RCPtr<LMidiCaptureNotificationData> data = DynamicCast<LMidiCaptureNotificationData>(*argument)) {
    DeliverCapture(data);
  }
  return 0;
}

} // namespace QZ

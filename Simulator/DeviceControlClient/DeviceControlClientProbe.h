#pragma once
// Test controls of the device-control library stand-in. They do nothing until a test
// uses them; the library's fourteen XQDC_ entry points behave the same with or without.
//
//   Simulator::DeviceControlClientProbe probe;
//   auto attach = reinterpret_cast<decltype(&QZTestDCC_AttachProbe)>(dlsym(library, "QZTestDCC_AttachProbe"));
//   attach(&probe);                       // the library now reports to the probe
//   probe.Fail("XQDC_FindDevices", -5);   // that entry point now returns -5
//
// The probe belongs to the test and outlives the library's use of it: it stays valid
// until it is detached (attach(nullptr)) or the library is unloaded. Members are guarded
// by the probe's lock.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "QZFramework/Utilities/Storage/Variant.h"

namespace Simulator {

struct DeviceControlClientProbe {
  std::mutex lock;
  // While set, the name of every entry point called is appended to calls.
  bool recordCalls = false;
  std::vector<std::string> calls;
  // The entry point of that name returns failResult and does nothing else.
  std::string failingCall;
  int32_t failResult = -1;
  // Calls of XQDC_ReleaseAll, and unloads of the library, while the probe was attached.
  int32_t releaseAllCount = 0;
  int32_t unloadCount = 0;

  void Fail(const std::string& call, int32_t result) {
    std::lock_guard hold(lock);
    failingCall = call;
    failResult = result;
  }
  void Record(bool on) {
    std::lock_guard hold(lock);
    recordCalls = on;
    calls.clear();
  }
  std::vector<std::string> Calls() {
    std::lock_guard hold(lock);
    return calls;
  }
  int32_t ReleaseAllCount() {
    std::lock_guard hold(lock);
    return releaseAllCount;
  }
  int32_t UnloadCount() {
    std::lock_guard hold(lock);
    return unloadCount;
  }
};

} // namespace Simulator

#define QZ_DCC_TEST_CONTROL extern "C" __attribute__((visibility("default")))

// Attaches the probe (null detaches it).
QZ_DCC_TEST_CONTROL void QZTestDCC_AttachProbe(Simulator::DeviceControlClientProbe* probe);
// Plugs the keyboard in (non-zero) or pulls it out; a connection reports the change (-2).
QZ_DCC_TEST_CONTROL void QZTestDCC_SetPlugged(int32_t plugged);
// What the remote searches find from now on: a List of device ids.
QZ_DCC_TEST_CONTROL void QZTestDCC_SetRemoteDevices(const QZ::Variant* devices);

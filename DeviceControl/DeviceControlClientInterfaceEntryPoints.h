#pragma once
// The device-control library's boundary: the fourteen C entry points that
// libDeviceControlClient.so exports by name, the value callback it calls, and the
// plain records it fills. The program's binding (DeviceControlClientInterface.h) and the
// library build against these declarations; the library shares the program's object
// base, so values cross as pointers to the program's own QZ::Variant objects.
//
// Value lists (device lists, request lists, reported values) are List Variants of value
// records (QZFramework/Utilities/Storage/ValueRecord.h). Reported values are value
// entries [value, Int32 parameter id, qualifier]; request lists are ParamRanges or
// ParamDescriptors. Every entry point returns a signed 32-bit result: negative is a
// failure. The library may be called from several threads at once.

#include <cstdint>

#include "QZFramework/Utilities/Storage/ParamValues.h"
#include "QZFramework/Utilities/Storage/Variant.h"

namespace QZ {

// A device-class filter item, laid out as the system's 16-byte GUID.
struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};

  bool operator==(const Guid&) const = default;
};

// What XQDC_GetDeviceInfo fills: the device's name (UTF-8, NUL-padded) at offset 0 and a
// non-zero byte at kPresentOffset while the device is attached; the other bytes are 0.
struct DeviceInfoRecord {
  static constexpr uint32_t kSize = 256;
  static constexpr uint32_t kNameSize = 128;
  static constexpr uint32_t kPresentOffset = 252;

  uint8_t bytes[kSize] = {};

  bool IsPresent() const { return bytes[kPresentOffset] != 0; }
};

// Called by the library on a thread of its own with a list of value entries the device
// reported; never after XQDC_DisconnectDevice or XQDC_ReleaseAll has returned. The list
// is the library's: copy what is kept. reportNumber counts the library's reports.
using DeviceValuesCallback = void (*)(void* context, int32_t reportNumber, const Variant* values);

// The library's pseudo-parameters, answered by XQDC_GetParamValue: -2 the connection
// flag (Bool), -8 the device state (Int32, also settable), -9 the maker's name and -10 the
// device's title (UTF-8 Strings). -4 is never sent to the library.
inline constexpr uint32_t kParamConnected = uint32_t(-2);
inline constexpr uint32_t kParamEcho = uint32_t(-4);
inline constexpr uint32_t kParamDeviceState = uint32_t(-8);
inline constexpr uint32_t kParamMakerName = uint32_t(-9);
inline constexpr uint32_t kParamProductTitle = uint32_t(-10);

namespace DeviceControlClientEntryPoints {
// Device discovery: `devices` becomes a List of device ids. The remote search's mode is 0
// for a full search and 1 for a quick query; the five values are passed through.
using FindDevices = int32_t(const Guid* filter, uint32_t filterCount, Variant* devices);
using FindRemoteDevices = int32_t(const Guid* filter, uint32_t filterCount, Variant* devices, int32_t mode,
                                  int32_t option1, int32_t option2, int32_t option3, int32_t option4, int32_t option5);
// Reported values go to callback(context, ...) from now until the device is disconnected.
using ConnectDevice = int32_t(const Variant* deviceId, DeviceValuesCallback callback, void* context);
// The values of the requested ids arrive later through the callback.
using RequestParamRanges = int32_t(const Variant* deviceId, const Variant* ranges);
using RequestParamValues = int32_t(const Variant* deviceId, const Variant* descriptors);
// The same values at once: `values` becomes their list of value entries.
using GetParamRanges = int32_t(const Variant* deviceId, const Variant* ranges, Variant* values);
using GetParamValues = int32_t(const Variant* deviceId, const Variant* descriptors, Variant* values);
using GetParamValue = int32_t(const Variant* deviceId, const ParamDescriptor* descriptor, Variant* value);
using SetParamValue = int32_t(const Variant* deviceId, const ParamDescriptor* descriptor, const Variant* value);
// `values`: value entries.
using SetParamValues = int32_t(const Variant* deviceId, const Variant* values);
using DisconnectDevice = int32_t(const Variant* deviceId);
// Exactly 0 when connected.
using IsDeviceConnected = int32_t(const Variant* deviceId, int32_t flag, uint32_t timeoutMs);
using GetDeviceInfo = int32_t(const Variant* deviceId, DeviceInfoRecord* record, int32_t reserved);
// Ends every connection and stops the library's threads; called before it is unloaded.
using ReleaseAll = int32_t();
} // namespace DeviceControlClientEntryPoints

} // namespace QZ

#pragma once
// A root module for tests of the module tree: it keeps the values that climb to it in
// a map, records every SetParamValue and every write that goes straight to the
// controller, and holds the device it is given.

#include <map>
#include <vector>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"

namespace QZTest {

struct RecordedWrite {
  uint32_t id;
  QZ::Variant value;
  bool fromDevice;
};

class RecordingRootModule : public IRootModule, public IDeviceParamWriter {
public:
  static QZ::RCPtr<RecordingRootModule> Create(const QZ::RCPtr<IDevice>& device) {
    QZ::RCPtr<RecordingRootModule> root(new RecordingRootModule);
    root->mDevice = device;
    return root;
  }

  int32_t SetParamValue(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice) override {
    writes.push_back({descriptor.id, value, fromDevice});
    cache[descriptor.id] = value;
    return 0;
  }
  QZ::Variant GetParamValue(const QZ::ParamDescriptor& descriptor) const override {
    const auto found = cache.find(descriptor.id);
    return found == cache.end() ? QZ::Variant() : found->second;
  }
  int32_t WriteParamValueToDevice(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value) override {
    deviceWrites.push_back({descriptor.id, value, false});
    return 0;
  }

  int32_t RequestParamChange(const QZ::ParamDescriptor&, const QZ::Variant&, int32_t) override { return 0; }
  QZ::RCPtr<LParameterizedModule> GetModuleRaw(uint32_t) override { return nullptr; }
  int32_t SetParamValueByID(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value) override {
    const QZ::RCPtr<LParameterizedModule> module = GetModuleForParamID(descriptor.id);
    return module ? module->SetParamValueLocal(descriptor, value, false) : QZ::QZ_E_FAIL;
  }
  int32_t GetParamValueByID(const QZ::ParamDescriptor& descriptor, QZ::Variant& value) override {
    const QZ::ConstRCPtr<LParameterizedModule> module = GetParamModule(descriptor.id);
    value = module ? module->GetParamValueLocal(descriptor) : QZ::Variant();
    return module ? 0 : QZ::QZ_E_FAIL;
  }
  QZ::RCPtr<IDevice> GetDeviceRaw() override { return mDevice; }

  std::map<uint32_t, QZ::Variant> cache;
  std::vector<RecordedWrite> writes;
  std::vector<RecordedWrite> deviceWrites;

private:
  RecordingRootModule() = default;

  QZ::RCPtr<IDevice> mDevice;
};

} // namespace QZTest

#pragma once
// The parameter-module contract: LParameterizedModule and the module interfaces.
//
// The controller's parameters form a tree of modules. Each module owns a block of
// consecutive ids from its FirstParamID; composites (root, device, user preset) route
// an id to the child that owns it; leaves know their ids and defaults but hold no
// values: every value lives in the root's cache and every write climbs the owner
// chain to the root.
//
//   QZ::RCPtr<QZ::LDevice> device = QZ::LDevice::Create();
//   device->SetFirstParamID(root, 0, 0);                     // numbers the whole tree
//   device->GetModuleForParamID(127)->GetParamValueDefault(127);  // arpeggiator gate: {5}
//
// The engine's modules (LeafModules.h, UserPreset.h, Device.h) and the editor's edit
// panels implement the same interfaces; the binding, routing and hook code of the
// composites belongs to the interfaces, so both trees share it.
//
// Ownership: a parent holds counted references to its children; a child's owner is a
// plain pointer, valid while the parent lives. Modules live in QZ::RCPtr from their
// factory on. After binding the modules hold no mutable state and no lock: reads and
// writes from several threads meet in the root, which serialises them.
//
// Ids are unsigned 32-bit; ids 0xFFFFFF00..0xFFFFFF7F (-256..-129) are module-addressed
// pseudo-ids, other negative ids are the root's own (connection flag, echo ...).
// Failures are thrown as QZ::Exception<std::logic_error> (and std::out_of_range for the
// indexed child accessors) with the texts given at each operation.

#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/ParamValues.h"

// True for the module-addressed pseudo-ids 0xFFFFFF00..0xFFFFFF7F.
constexpr bool IsModuleAddressedParamID(uint32_t id) { return id >= 0xFFFFFF00u && id <= 0xFFFFFF7Fu; }

class LParameterizedModule : public virtual QZ::LRefCountedObject {
public:
  // Stores owner, FirstParamID and index. Composites then bind their children; the
  // engine's modules check their position and throw "Invalid FirstParamID", keeping
  // the fields they were given.
  virtual void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index);
  // GetModuleForParamID, read-only.
  virtual QZ::ConstRCPtr<LParameterizedModule> GetParamModule(uint32_t id) const;
  // The module that owns id: this module for any id; composites route, null when no
  // module owns the id.
  virtual QZ::RCPtr<LParameterizedModule> GetModuleForParamID(uint32_t id);
  // Receives a value of one of this module's ids (fromDevice: it came from the
  // controller). Base: a module without parameters accepts only module-addressed ids,
  // otherwise it throws "Logic Error : LParameterizedModule::SetParamValueLocal :
  // DeviceControl\GeneratedCode\Engine\Inc\RootModuleInterface : Line 109"; then the
  // owner's SetParamValue and its result, -1 without owner.
  virtual int32_t SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice);
  // Base: the same check (its text names GetParamValueLocal, Line 123), then the owner's
  // GetParamValue, empty without owner.
  virtual QZ::Variant GetParamValueLocal(const QZ::ParamDescriptor& descriptor) const;
  // Climbs to the root, which caches the value and writes it to the controller unless
  // fromDevice. Base: the owner's result; -1 without owner.
  virtual int32_t SetParamValue(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice);
  // The root's value for the descriptor; empty without owner.
  virtual QZ::Variant GetParamValue(const QZ::ParamDescriptor& descriptor) const;
  // The default of one of the module's ids. Base: empty.
  virtual QZ::Variant GetParamValueDefault(uint32_t id) const;
  // Hooks passed down the tree by the composites; empty in every leaf.
  virtual void PropagateHookA();
  virtual void PropagateHookB();
  // True; no module gives the argument a meaning.
  virtual bool IsAvailable(uint32_t id) const;
  // Passes four words to the owner; nothing without owner. No module gives them a meaning.
  virtual void PropagateUp(uint32_t a, uint32_t b, uint32_t c, uint32_t d);
  // The owner's result; QZ_E_FAIL without owner. The root stores changed values.
  virtual int32_t UpdateCachedParamValue(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value);
  // The owner's cached value; empty without owner.
  virtual QZ::Variant GetCachedParamValue(const QZ::ParamDescriptor& descriptor) const;

  LParameterizedModule* GetOwner() const { return mOwner; }
  uint32_t GetParamCount() const { return mParamCount; }
  uint32_t GetFirstParamID() const { return mFirstParamID; }
  // Position among the siblings of the same kind (slider k, pad k); 0 when it has none.
  uint32_t GetIndex() const { return mIndex; }
  // The module at the top of the owner chain: this module when it has no owner.
  LParameterizedModule* GetTopModule() const;
  // FirstParamID relative to the top module's: the module's place in the layout.
  uint32_t GetRelativeFirstParamID() const { return mFirstParamID - GetTopModule()->mFirstParamID; }

protected:
  // paramCount: the ids the module owns itself, 0 for composites. Unbound until
  // SetFirstParamID.
  explicit LParameterizedModule(uint32_t paramCount) : mParamCount(paramCount) {}

  // SetParamValue and GetParamValue of the engine's modules: the owner is held by a
  // counted reference for the duration of the call.
  int32_t SetParamValueHoldingOwner(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice);
  QZ::Variant GetParamValueHoldingOwner(const QZ::ParamDescriptor& descriptor) const;

private:
  void CheckOwnsParameters(const QZ::SourceSite& site, uint32_t id) const;

  LParameterizedModule* mOwner = nullptr;
  uint32_t mParamCount;
  uint32_t mFirstParamID = 0;
  uint32_t mIndex = 0;
};

// The interfaces of the leaf modules: the contract above with the module's parameter
// count (from the parameter layout).
class IPitchbend : public LParameterizedModule {
protected:
  IPitchbend();
};
class IModWheel : public LParameterizedModule {
protected:
  IModWheel();
};
class ISustain : public LParameterizedModule {
protected:
  ISustain();
};
class ISliderAndKnob : public LParameterizedModule {
protected:
  ISliderAndKnob();
};
class IHardwareButton : public LParameterizedModule {
protected:
  IHardwareButton();
};
class IPad : public LParameterizedModule {
protected:
  IPad();
};
class IClock : public LParameterizedModule {
protected:
  IClock();
};
class IArp : public LParameterizedModule {
protected:
  IArp();
};
class IChord : public LParameterizedModule {
protected:
  IChord();
};
class IScale : public LParameterizedModule {
protected:
  IScale();
};
class IGlobalPreset : public LParameterizedModule {
protected:
  IGlobalPreset();
};

// The user preset: the 49 leaves of ids 0..139 relative to its first id. Implementers
// supply the child accessors (the non-const forms); a null child is skipped by binding,
// routing and hooks. The indexed accessors take i below the count of their kind
// (ParameterLayout::kSliderCount ...) and throw std::out_of_range beyond it.
class IUserPreset : public LParameterizedModule {
public:
  // Stores the fields, then binds every present child with this module as owner:
  // pitch bend +0, mod wheel +3, sustain +7, slider i +10+2i, knob i +28+2i, button i
  // +44+5i, pad i +89+2i, clock +121, arpeggiator +124, chord +129, scale +138 (index i
  // for the repeated kinds, else 0). A child's throw stops the binding there.
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override;
  // The leaf owning id by the offsets above; null from offset 140 on or for a missing child.
  QZ::RCPtr<LParameterizedModule> GetModuleForParamID(uint32_t id) override;
  // Passed to every present child in binding order.
  void PropagateHookA() override;
  void PropagateHookB() override;

  virtual QZ::ConstRCPtr<IPitchbend> GetPitchbend() const;
  virtual QZ::RCPtr<IPitchbend> GetPitchbend() = 0;
  virtual QZ::ConstRCPtr<IModWheel> GetModWheel() const;
  virtual QZ::RCPtr<IModWheel> GetModWheel() = 0;
  virtual QZ::ConstRCPtr<ISustain> GetSustain() const;
  virtual QZ::RCPtr<ISustain> GetSustain() = 0;
  virtual QZ::ConstRCPtr<ISliderAndKnob> GetSlider(uint32_t i) const;
  virtual QZ::RCPtr<ISliderAndKnob> GetSlider(uint32_t i) = 0;
  virtual QZ::ConstRCPtr<ISliderAndKnob> GetKnob(uint32_t i) const;
  virtual QZ::RCPtr<ISliderAndKnob> GetKnob(uint32_t i) = 0;
  virtual QZ::ConstRCPtr<IHardwareButton> GetHardwareButton(uint32_t i) const;
  virtual QZ::RCPtr<IHardwareButton> GetHardwareButton(uint32_t i) = 0;
  virtual QZ::ConstRCPtr<IPad> GetPad(uint32_t i) const;
  virtual QZ::RCPtr<IPad> GetPad(uint32_t i) = 0;
  virtual QZ::ConstRCPtr<IClock> GetClock() const;
  virtual QZ::RCPtr<IClock> GetClock() = 0;
  virtual QZ::ConstRCPtr<IArp> GetArp() const;
  virtual QZ::RCPtr<IArp> GetArp() = 0;
  virtual QZ::ConstRCPtr<IChord> GetChord() const;
  virtual QZ::RCPtr<IChord> GetChord() = 0;
  virtual QZ::ConstRCPtr<IScale> GetScale() const;
  virtual QZ::RCPtr<IScale> GetScale() = 0;

protected:
  IUserPreset() : LParameterizedModule(0) {}

private:
  // The child that owns offset, as a module; null past the user preset.
  QZ::RCPtr<LParameterizedModule> GetChildForOffset(uint32_t offset);
  template <class Visit>
  void ForEachChild(Visit visit);
};

// The device: the user preset at its first id and the global preset 140 ids later.
class IDevice : public LParameterizedModule {
public:
  // Stores the fields, then binds the user preset (first id) and the global preset
  // (first id + 140), each when present.
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override;
  // Offsets 0..139 the user preset's routing, 140..144 the global preset, else null.
  QZ::RCPtr<LParameterizedModule> GetModuleForParamID(uint32_t id) override;
  // The user preset's, then the global preset's.
  void PropagateHookA() override;
  void PropagateHookB() override;

  virtual QZ::ConstRCPtr<IUserPreset> GetUserPresetConst() const;
  virtual QZ::RCPtr<IUserPreset> GetUserPreset() = 0;
  virtual QZ::ConstRCPtr<IGlobalPreset> GetGlobalPresetConst() const;
  virtual QZ::RCPtr<IGlobalPreset> GetGlobalPreset() = 0;

protected:
  IDevice() : LParameterizedModule(0) {}
};

// The top of a tree: hands edits on and receives the controller's values.
class IRootModule : public LParameterizedModule {
public:
  // Stores the fields, then binds the device (when present) at the same first id, index 0.
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override;
  // Ids of the 145-id parameter space are routed by the device; others give null.
  QZ::RCPtr<LParameterizedModule> GetModuleForParamID(uint32_t id) override;
  // Passed to the device.
  void PropagateHookA() override;
  void PropagateHookB() override;

  // Tells the root's owner of a change (reason 0 a cached value changed, 2 a deferred
  // write came from the controller); the owner's result.
  virtual int32_t RequestParamChange(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value,
                                     int32_t reason) = 0;
  // GetModuleRaw, read-only.
  virtual QZ::ConstRCPtr<LParameterizedModule> GetModule(uint32_t id) const;
  // The module a module-addressed id names; null when none.
  virtual QZ::RCPtr<LParameterizedModule> GetModuleRaw(uint32_t id) = 0;
  // Sets a value by id from the user interface; a result code.
  virtual int32_t SetParamValueByID(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value) = 0;
  // Reads a value by id into value; a result code.
  virtual int32_t GetParamValueByID(const QZ::ParamDescriptor& descriptor, QZ::Variant& value) = 0;
  virtual QZ::ConstRCPtr<IDevice> GetDevice() const;
  virtual QZ::RCPtr<IDevice> GetDeviceRaw() = 0;

protected:
  IRootModule() : LParameterizedModule(0) {}
};

// Implemented by the top of the engine's tree: writes a module-addressed value straight
// to the controller, bypassing the cache. A leaf's write of such an id finds it by
// walking to its top module; a tree whose top does not implement it refuses with -1.
class IDeviceParamWriter {
public:
  // The device interface's result.
  [[nodiscard]] virtual int32_t WriteParamValueToDevice(const QZ::ParamDescriptor& descriptor,
                                                        const QZ::Variant& value) = 0;

protected:
  ~IDeviceParamWriter() = default;
};

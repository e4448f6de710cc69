#include "QZFramework/Controls/MenuActivationParam.h"

#include "QZFramework/Utilities/Storage/ReuseAllocator.h"

namespace QZ {

namespace {

ReuseAllocator<LMenuActivationParam, 4>& ActivationBlocks() {
  // Never destroyed: a parameter may be released after static destruction has begun.
  static auto* blocks = new ReuseAllocator<LMenuActivationParam, 4>(true);
  return *blocks;
}

} // namespace

RCPtr<LMenuActivationParam> LMenuActivationParam::Create(const RCPtr<LMenuDescriptor>& menu, int32_t index) {
  return RCPtr<LMenuActivationParam>(new LMenuActivationParam(menu, index));
}

void* LMenuActivationParam::operator new(size_t size) { return ActivationBlocks().Allocate(uint32_t(size)); }

void LMenuActivationParam::operator delete(void* block) { ActivationBlocks().Free(block); }

} // namespace QZ

#include "QZFramework/ControlBase/LookDescriptor.h"

namespace QZ {

LVisualPartDescriptor::LVisualPartDescriptor(const WString& name, const PartSource& image, ResizeType resizeType,
                                             const RCPtr<LColorizer>& colorizer, const SizeT<int32_t>& size,
                                             float alphaModifier, const PartSource& mask)
    : mName(name), mImage(image), mResizeType(resizeType), mColorizer(colorizer),
      mSize(image.IsEmpty() ? size : image.rect.GetSize()), mAlphaModifier(alphaModifier), mMask(mask) {}

void LLookDescriptor::SetTextProperties(const TextProperties& properties,
                                        const RCPtr<LVisualPartDescriptor>& textPart) {
  mHasTextProperties = true;
  mTextProperties = properties;
  mTextPart = textPart;
}

RCPtr<LLookList> MakeLookList(uint32_t count) { return RCPtr<LLookList>(new LLookList(count)); }

} // namespace QZ

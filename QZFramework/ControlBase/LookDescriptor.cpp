#include "QZFramework/ControlBase/LookDescriptor.h"

#include <utility>

#include "QZFramework/ControlBase/VisualPart.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"

namespace QZ {

namespace {

// The bitmap of a source: its rectangle of the cached image (all of it when the
// rectangle has no area); null when the image cannot be loaded.
RCPtr<LBitmap> LoadSource(const PartSource& source) {
  const RCPtr<LBitmap> image = LBitmap::GetBitmap(source.path);
  if (!image) {
    return nullptr;
  }
  return image->CreateSubBitmap(source.rect.x, source.rect.y, source.rect.width, source.rect.height);
}

} // namespace

LVisualPartDescriptor::LVisualPartDescriptor(const WString& name, const PartSource& image, ResizeType resizeType,
                                             const RCPtr<LColorizer>& colorizer, const SizeT<int32_t>& size,
                                             float alphaModifier, const PartSource& mask)
    : mName(name), mImage(image), mResizeType(resizeType), mColorizer(colorizer),
      mSize(image.IsEmpty() ? size : image.rect.GetSize()), mAlphaModifier(alphaModifier), mMask(mask) {}

// Out of line: the part's type is complete only here.
LVisualPartDescriptor::~LVisualPartDescriptor() = default;

const RCPtr<LVisualPart>& LVisualPartDescriptor::CreateVisualPart() {
  if (mVisualPart) {
    return mVisualPart;
  }
  // The mask first. A mask that cannot be loaded makes no part: the shape it gives would
  // otherwise become a filled rectangle.
  RCPtr<LBitmap> mask;
  if (!mMask.IsEmpty()) {
    mask = LoadSource(mMask);
    if (!mask) {
      return mVisualPart;
    }
  }
  RCPtr<LVisualPart> part;
  if (!mImage.IsEmpty()) {
    part = LVisualPart::Create(mName, LoadSource(mImage), mResizeType, mColorizer, mAlphaModifier, mask);
  } else if (mColorizer) {
    part = RCPtr<LVisualPart>(new LVisualPart(mName, nullptr, mResizeType, mColorizer, mSize, mAlphaModifier, mask));
  }
  if (part) {
    mVisualPart = std::move(part);
    mVisualPart->BindDescriptor(this);
  }
  return mVisualPart;
}

RCPtr<LVisualPart> LDockedPart::GetVisualPart() const { return mPart->CreateVisualPart(); }

void LLookDescriptor::SetTextProperties(const TextProperties& properties,
                                        const RCPtr<LVisualPartDescriptor>& textPart) {
  mHasTextProperties = true;
  mTextProperties = properties;
  mTextPart = textPart;
}

RCPtr<LLookList> MakeLookList(uint32_t count) { return RCPtr<LLookList>(new LLookList(count)); }

} // namespace QZ

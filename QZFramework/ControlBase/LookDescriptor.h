#pragma once
// The skin's drawing descriptors, as the skin loader reads them:
// - QZ::LVisualPartDescriptor: one skin Part, an image rectangle with a resize rule or a
//   colour from a colorizer (optionally through a mask);
// - QZ::LDockedPart: a part placed in a look by offsets from the look's edges and an
//   optional fixed width and height;
// - QZ::LLookDescriptor: one skin Look, a client part, non-client parts around it and the
//   optional text box with its text part;
// - QZ::LLookList: a look list, exactly as many slots as the skin's NumLooks, each a look
//   or null; what a slot means belongs to the control that uses the list.
//
//   auto frame = QZ::RCPtr<QZ::LVisualPartDescriptor>(new QZ::LVisualPartDescriptor(
//       u"frame", {u"::frame.png", {0, 0, 8, 8}}, QZ::ResizeType::Stretch, nullptr, {8, 8}, 1.0f, {}));
//   auto look = QZ::RCPtr<QZ::LLookDescriptor>(new QZ::LLookDescriptor(u"buttonNormal"));
//   look->SetClientPart(new QZ::LDockedPart(frame, QZ::LDockedPart::ClientDock(2, 2, -2, -2)));
//   QZ::RCPtr<QZ::LLookList> looks = QZ::MakeLookList(3);   // three empty slots
//   looks->GetAt(0) = look;
//
// Descriptors are built on the UI thread while the skin is read and only read afterwards;
// they are shared by every look and control made from them. The one thing a part
// descriptor changes later is the visual part it builds on first demand and shares:
//
//   QZ::RCPtr<QZ::LVisualPart> part = frame->CreateVisualPart();   // built now, kept by the look
//   frame->CreateVisualPart() == part;                             // shared while someone holds it

#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Renderer/Renderer.h"
#include "QZFramework/Utilities/Graphics/Colorizer.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LVisualPart;

// Where a part's pixels come from: an image path (a file, or "::" and a resource name)
// and the rectangle of that image. An empty path means no source.
struct PartSource {
  WString path;
  RectT<int32_t> rect;

  bool IsEmpty() const { return path.IsEmpty(); }
};

class LVisualPartDescriptor : public virtual LRefCountedObject {
public:
  // When image has a path, the size becomes the image rectangle's width and height.
  LVisualPartDescriptor(const WString& name, const PartSource& image, ResizeType resizeType,
                        const RCPtr<LColorizer>& colorizer, const SizeT<int32_t>& size, float alphaModifier,
                        const PartSource& mask);
  ~LVisualPartDescriptor() override;

  // The name.
  WString ToString() const override { return mName; }

  // The visual part of this descriptor, built on first demand and shared afterwards. The
  // result is the descriptor's own reference: a caller that keeps the part copies it (the
  // part and the descriptor hold each other, and only a holder outside the descriptor
  // lets the pair go). When the last such holder lets go, the part is destroyed and the
  // reference is empty again; the next call builds a new part. Empty when no part can be
  // built: the image or the mask cannot be loaded, or there is neither an image nor a
  // colorizer. Throws what LBitmap::ApplyColorizer throws for the colorizer (a gradient
  // fill; an image and a mask together). UI thread.
  [[nodiscard]] const RCPtr<LVisualPart>& CreateVisualPart();
  // The part built and still held, else null; builds nothing.
  const RCPtr<LVisualPart>& GetBuiltVisualPart() const { return mVisualPart; }

  const WString& GetName() const { return mName; }
  const PartSource& GetImage() const { return mImage; }
  // Any value the skin gave; only Stretch, Tile and Center draw.
  ResizeType GetResizeType() const { return mResizeType; }
  // May be null.
  const RCPtr<LColorizer>& GetColorizer() const { return mColorizer; }
  const SizeT<int32_t>& GetSize() const { return mSize; }
  // Multiplies the colorizer's alpha ("ColorizerAlphaMod", 1.0 when the skin gives none).
  float GetAlphaModifier() const { return mAlphaModifier; }
  const PartSource& GetMask() const { return mMask; }

private:
  WString mName;
  PartSource mImage;
  ResizeType mResizeType;
  RCPtr<LColorizer> mColorizer;
  SizeT<int32_t> mSize;
  float mAlphaModifier;
  PartSource mMask;
  RCPtr<LVisualPart> mVisualPart;

  friend class LVisualPart; // empties mVisualPart when the part lets its descriptor go
};

class LDockedPart : public virtual LRefCountedObject {
public:
  // Offset flags: a set bit puts that offset in force.
  static constexpr uint32_t kOffsetLeft = 0x1;
  static constexpr uint32_t kOffsetTop = 0x2;
  static constexpr uint32_t kOffsetRight = 0x4;
  static constexpr uint32_t kOffsetBottom = 0x8;

  // How the part sits in the look. Offsets are from the look's edges: right and bottom
  // are measured from the right and bottom edges (normally 0 or negative). Without a
  // width (height) the part descriptor's own width (height) applies.
  struct Dock {
    uint32_t offsetFlags = 0;
    int32_t offsetLeft = 0;
    int32_t offsetTop = 0;
    int32_t offsetRight = 0;
    int32_t offsetBottom = 0;
    bool hasWidth = false;
    int32_t width = 0;
    bool hasHeight = false;
    int32_t height = 0;

    bool operator==(const Dock&) const = default;
  };

  // A client part's dock: all four offsets in force, no fixed size.
  static Dock ClientDock(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return {kOffsetLeft | kOffsetTop | kOffsetRight | kOffsetBottom, left, top, right, bottom};
  }

  // part must not be null.
  LDockedPart(const RCPtr<LVisualPartDescriptor>& part, const Dock& dock) : mPart(part), mDock(dock) {}

  const RCPtr<LVisualPartDescriptor>& GetPart() const { return mPart; }
  // A new reference to the part descriptor's visual part (CreateVisualPart); null when
  // it yields none.
  RCPtr<LVisualPart> GetVisualPart() const;
  const Dock& GetDock() const { return mDock; }

private:
  RCPtr<LVisualPartDescriptor> mPart;
  Dock mDock;
};

// The text box of a look: each edge is Rel times the look's width (height) plus Abs;
// the alignments are factors, 0 left (top), 0.5 centre, 1 right (bottom).
struct TextProperties {
  float leftRel = 0.0f;
  int32_t leftAbs = 0;
  float rightRel = 0.0f;
  int32_t rightAbs = 0;
  float hAlign = 0.0f;
  float topRel = 0.0f;
  int32_t topAbs = 0;
  float bottomRel = 0.0f;
  int32_t bottomAbs = 0;
  float vAlign = 0.0f;

  bool operator==(const TextProperties&) const = default;
};

class LLookDescriptor : public virtual LRefCountedObject {
public:
  explicit LLookDescriptor(const WString& name) : mName(name) {}

  // The name.
  WString ToString() const override { return mName; }

  const WString& GetName() const { return mName; }

  // Null until the skin gives one.
  const RCPtr<LDockedPart>& GetClientPart() const { return mClientPart; }
  void SetClientPart(const RCPtr<LDockedPart>& part) { mClientPart = part; }

  // A skin reads a look's parts one by one, most looks having up to a score of them: the
  // storage grows eight slots at a time rather than one.
  using DockedParts = RCPtrArray<LDockedPart, 8, 0>;

  // In document order.
  const DockedParts& GetNonClientParts() const { return mNonClientParts; }
  void AddNonClientPart(const RCPtr<LDockedPart>& part) { mNonClientParts.AddItem(part); }

  // False until SetTextProperties; then the look has a text box drawn with the text part.
  bool HasTextProperties() const { return mHasTextProperties; }
  const TextProperties& GetTextProperties() const { return mTextProperties; }
  // The part whose colour paints the text; null until SetTextProperties.
  const RCPtr<LVisualPartDescriptor>& GetTextPart() const { return mTextPart; }
  // textPart must not be null.
  void SetTextProperties(const TextProperties& properties, const RCPtr<LVisualPartDescriptor>& textPart);

private:
  WString mName;
  RCPtr<LDockedPart> mClientPart;
  DockedParts mNonClientParts;
  bool mHasTextProperties = false;
  TextProperties mTextProperties;
  RCPtr<LVisualPartDescriptor> mTextPart;
};

using LLookList = LRCPtrArray<LLookDescriptor, 1, 0>;

// A look list of count empty slots.
RCPtr<LLookList> MakeLookList(uint32_t count);

} // namespace QZ

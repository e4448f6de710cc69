#pragma once
// QZ::LLook: one skin Look bound to one control size: a client part inside the client
// rectangle, non-client parts around it (frames, corners, edges), an optional overlay
// image over the client part, and an optional text block drawn in the colour of the text
// foreground part.
//
//   QZ::RCPtr<QZ::LLook> look = QZ::LLook::Create(descriptor, false);
//   look->SetSize({120, 24});                          // rectangles for this control size
//   look->SetFont(font);
//   look->SetText(u"Preset 1");
//   look->DrawClientParts(renderer, updateRegion);     // within the current frame,
//   look->DrawNonClientParts(renderer, updateRegion);  // in the control's coordinates
//   look->DrawLabelText(renderer, updateRegion, {0, 0});
//
// Drawing: each operation draws its target (a part rectangle, the client rectangle, the
// text block) once per rectangle of the update region (device coordinates) that meets it
// and the renderer's current clip, inside a clip pushed for that rectangle and popped on
// every path. A look that has its own region draws only inside it.
//
// Parts come from the part descriptors (LVisualPartDescriptor::CreateVisualPart) and are
// shared by every look of the skin. UI thread.

#include <cstdint>
#include <vector>

#include "QZFramework/ControlBase/FontText.h"
#include "QZFramework/ControlBase/LookDescriptor.h"
#include "QZFramework/ControlBase/VisualPart.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Renderer/Renderer.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Graphics/RectList.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LLook : public virtual LRefCountedObject {
public:
  // A new look bound to descriptor (not null): SetDescriptor(descriptor, wrap). wrap is
  // true when the control's text wraps (TextOverflowXType "Wrap").
  static RCPtr<LLook> Create(const RCPtr<LLookDescriptor>& descriptor, bool wrap);

  // Binds the look to descriptor (not null): its client part, its text foreground part
  // and, with text properties, a text block (kept with its text and font when there is
  // one, its wrap flag and alignment taken anew); without them the text block goes. A
  // look that has a size is rebuilt for it at once; a new one (0 x 0) at its first
  // SetSize. The overlay image stays. Returns 0. Throws what building a part throws
  // (LVisualPartDescriptor::CreateVisualPart).
  QZResult SetDescriptor(const RCPtr<LLookDescriptor>& descriptor, bool wrap);

  // Rebuilds the rectangles for a control of size: the client rectangle (offsets clamped
  // into the look), each non-client rectangle (offsets from the edges, the part's width
  // and height where an offset is missing, centred without either) with its part, and
  // the text block (GetTextRect; origin truncated, size rounded). Nothing when size is
  // the current one. Returns true.
  bool SetSize(const SizeT<int32_t>& size);

  // The text block's text: 1 without a text block; else 1 when it changed, 0 when not.
  QZResult SetText(const WString& text);
  // The text block's font (may be null): 1 without a text block; else LFontText::SetFont.
  QZResult SetFont(const RCPtr<LFont>& font);
  // The overlay drawn over the client part: with an image, a new part of it drawn with
  // resizeType (LVisualPart::Create), hiding the client part when replacesClient: 0.
  // Without one the overlay is removed: 0; 1 when there was none.
  QZResult SetClientPart(const ConstRCPtr<LBitmap>& image, ResizeType resizeType, bool replacesClient);
  // The part whose colour paints the text: 0; QZ_E_INVALIDARG for null (nothing changes).
  QZResult SetTextForegroundPart(const RCPtr<LVisualPart>& part);

  // Draws each non-client part into its rectangle. 1 when a part was drawn, else 0.
  virtual QZResult DrawNonClientParts(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion);
  // Draws the client part (unless the overlay replaces it), then the overlay, into the
  // client rectangle. 1 when a part was drawn, else 0.
  virtual QZResult DrawClientParts(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion);
  // Draws each line of the text block (laid out on demand) at its place less textOffset,
  // rounded, in the text foreground part's colour at (0, 0), clipped to the block. 1
  // without a text block, else 0. Nothing is drawn without a text foreground part or a
  // font. Throws Domain Error when the text foreground part is a bitmap or a gradient,
  // with the renderer's clips popped.
  virtual QZResult DrawLabelText(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                                 const PointT<double>& textOffset);

  // Has the bitmaps the look draws decoded ahead on worker threads (LBitmap::DecodeAhead),
  // in the order it draws them: the client part (unless the overlay replaces it), the
  // overlay, the non-client parts.
  void DecodeImagesAhead() const;

  // The ARGB colour the look shows at a point of the control: the first part, from the
  // top (non-client parts from the last, the overlay, the client part), whose rectangle
  // holds the point and whose colour there is not transparent; LVisualPart::kOutside
  // when none, or when the point is outside the look's own region. Throws what the parts'
  // lookups throw.
  uint32_t GetColorAtPoint(const PointT<double>& point) const;
  // Whether DrawClientParts alone sets every pixel of the look's size opaquely: an opaque
  // client part (LVisualPart::IsOpaque) whose rectangle is the whole look, not hidden by
  // the overlay, and no region of the look's own.
  bool IsOpaque() const;

  // The text area of the descriptor's text properties for a control of width x height:
  // (left, top, right - left, bottom - top), each edge Rel x extent + Abs; empty without
  // text properties.
  RectT<float> GetTextRect(int32_t width, int32_t height) const;

  const RCPtr<LLookDescriptor>& GetDescriptor() const { return mDescriptor; }
  const SizeT<int32_t>& GetSize() const { return mSize; }
  // Valid after the first SetSize; empty before.
  const RectT<int32_t>& GetClientRect() const { return mClientRect; }
  // One per non-client entry of the descriptor, in its order (placed for the current size
  // when first asked after a change of size).
  const std::vector<RectT<int32_t>>& GetNonClientRects() const {
    PlaceNonClientRects();
    return mNonClientRects;
  }
  // Parallel to GetNonClientRects; an entry is null where the descriptor yields no part
  // (made when first asked after a change of size; all null before the first).
  const std::vector<RCPtr<LVisualPart>>& GetNonClientParts() const {
    MakeNonClientParts();
    return mNonClientParts;
  }
  // May be null.
  const RCPtr<LVisualPart>& GetClientPart() const { return mClientPart; }
  const RCPtr<LVisualPart>& GetOverlayPart() const { return mOverlayPart; }
  bool OverlayReplacesClient() const { return mOverlayReplacesClient; }
  const RCPtr<LVisualPart>& GetTextForegroundPart() const { return mTextForegroundPart; }
  // Null when the descriptor has no text properties.
  const RCPtr<LFontText>& GetFontText() const { return mFontText; }
  // The text block's rectangle: its origin (truncated) and its size.
  RectT<int32_t> GetTextBlockRect() const;

  // The look's own region (look coordinates); when not empty, drawing stays inside it.
  // The control changes it in place.
  RectListT<int32_t>& GetOwnRegion() { return mOwnRegion; }
  const RectListT<int32_t>& GetOwnRegion() const { return mOwnRegion; }

private:
  LLook() = default;

  void ComputeClientRect();
  // The parts of the non-client entries that have none yet, once after each change of
  // size, when first wanted; so too their rectangles (PlaceNonClientRects): most looks of
  // a tree are never drawn nor hit, and a part made reads its image's header.
  void MakeNonClientParts() const;
  // The rectangles and parts, one per non-client entry of the descriptor (empty, null).
  void SizeNonClientEntries() const;
  void PlaceNonClientRects() const;
  void ComputeTextBlock();

  RCPtr<LLookDescriptor> mDescriptor;
  RCPtr<LVisualPart> mTextForegroundPart;
  SizeT<int32_t> mSize;
  RectT<int32_t> mClientRect;
  mutable std::vector<RectT<int32_t>> mNonClientRects;
  mutable std::vector<RCPtr<LVisualPart>> mNonClientParts;
  RCPtr<LVisualPart> mClientPart;
  RCPtr<LVisualPart> mOverlayPart;
  bool mOverlayReplacesClient = false;
  // Beside the flag above, where a look has room to spare: a tree holds thousands of looks.
  mutable bool mNonClientRectsPlaced = true;
  mutable bool mNonClientPartsMade = false;   // every entry has its part
  mutable bool mNonClientPartsWanted = false; // the size changed since the missing ones were tried
  RCPtr<LFontText> mFontText;
  PointT<int32_t> mTextOrigin;
  RectListT<int32_t> mOwnRegion;
};

} // namespace QZ

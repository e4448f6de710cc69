#pragma once
// The looks of one skin scale: colour parts, image parts cut from the images of
// Atlases.h, looks and look lists, added to a skin document. The control trees
// (SkinTree.cpp) name the look lists through the returned LookLists.
//
//   SkinDocument document;
//   const LookLists standard = AddLooks(document, 1);   // Skin1: the 1x images
//   const LookLists high = AddLooks(document, 2);       // HighDPI: the 2x images, ".HighDPI" names
//   control.lookList = standard.pushButton;
//
// Look-list sizes follow the widgets: buttons and element buttons 14, list and menu rows
// 14, list boxes and pop-up menus 3, combo boxes 7, menu titles 4, scroll channels 2,
// text boxes 10, the model pictures 3, the message box's icon 4, everything else 1.
//
// A control paints and hit-tests its children once per look it shows, so a control that
// draws nothing of its own still needs a look: `transparent`, one look without parts,
// which draws nothing and lets the mouse through to the children.

#include <string>

#include "Resources/SkinArt/Atlases.h"
#include "Resources/SkinArt/SkinDocument.h"

namespace QZ::SkinArt {

// Where the controller picture puts what its model looks draw (1x pixels, in the
// picture's coordinates), shared with the tree that places the elements around them.
namespace PictureGeometry {
inline constexpr int kWidth = 1160;
inline constexpr int kHeight = 492;
inline constexpr int kPlateX = 16;
inline constexpr int kPlateY = 16;
inline constexpr int kKeybedX = 164;
inline constexpr int kKeybedY = 362;
// The wells of the faders and the buttons, drawn by the model looks: the 25-key model
// shows only the first of each, in a well of kFirstElementWell's width.
inline constexpr Rect kFaderWell{kKeybedX, 110, 464, 164};
inline constexpr Rect kButtonWell{kKeybedX, 284, 464, 60};
inline constexpr int kFirstElementWell = 64;
} // namespace PictureGeometry

// The heights of the bands the looks draw (1x pixels).
inline constexpr int kHeaderHeight = 48;
inline constexpr int kMenuBarHeight = 22;

struct LookLists {
  int scale = 1;

  // Holders and containers: "Transparent", shared by both scales.
  std::string transparent;
  // Whole-area backgrounds.
  std::string background, dialog, header, card, well, chassis, accentStrip;
  // Text only.
  std::string caption, captionCentre, body, bodyRight, header1, value, valueRight;
  // Pictures.
  std::string logo, productLogo, productImage, modelPicture, modelPlate, fileDropper;
  // The message box's icon: looks 0-3 the error, question, warning and information icons.
  std::string messageIcon;
  // Menus.
  std::string menuBar, menuTitle, popupMenu, menuRow, menuCheck;
  // Buttons.
  std::string pushButton, primaryButton, tab, subTab, toggle, spinUp, spinDown;
  // Fields and lists.
  std::string textBox, comboBox, listBox, listRow, toolTip;
  // Scroll bars.
  std::string scrollBar, scrollChannel, scrollThumb, scrollUp, scrollDown, scrollLeft, scrollRight, scrollCorner;
  // The controller's elements.
  std::string knob, fader, hardwareButton, pad, wheels, jack, keyboard;
};

// Adds the parts, looks and look lists of the skin at scale (1 or 2) to document; the
// colorizers and colour parts are shared by both scales and added once.
LookLists AddLooks(SkinDocument& document, int scale);

} // namespace QZ::SkinArt

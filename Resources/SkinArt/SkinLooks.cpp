#include "Resources/SkinArt/SkinLooks.h"

#include <array>
#include <cstdio>
#include <set>

#include "Resources/SkinArt/Atlases.h"
#include "Resources/SkinArt/Canvas.h"
#include "Resources/SkinArt/Palette.h"

namespace QZ::SkinArt {

namespace {

namespace P = Palette;

constexpr uint32_t kHeaderLine = 0xFF2A2E36;
// Not seen, but not transparent either: keeps the keyboard's overlay catching the mouse
// where the keys below it are drawn by another control.
constexpr uint32_t kHitOnly = 0x01FFFFFF;
// Draws nothing and catches no click: what a holder shows so that its children paint and
// can be hit.
constexpr char kTransparent[] = "Transparent";

std::string Hex(uint32_t argb) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", argb);
  return text;
}

class Builder {
public:
  Builder(SkinDocument& document, int scale) : mDocument(document), mScale(scale) {
    for (const Part& part : document.parts) {
      mParts.insert(part.name);
    }
  }

  int Px(int value) const { return value * mScale; }
  std::string Named(const std::string& name) const { return mScale == 2 ? name + ".HighDPI" : name; }
  std::string File(const char* image) const { return std::string(image) + (mScale == 2 ? "_2x" : "") + ".png"; }

  // The colour part of argb, shared by both scales (a stretched colour has no size).
  std::string Fill(uint32_t argb) {
    const std::string name = "Fill." + Hex(argb);
    if (mParts.insert(name).second) {
      mDocument.colorizers.push_back({"Colour." + Hex(argb), argb});
      mDocument.parts.push_back(Part::Colour(name, "Colour." + Hex(argb)));
    }
    return name;
  }

  // An image part cutting rect (1x) out of image, scaled.
  std::string ImagePart(const std::string& name, const char* image, const Rect& rect,
                        const std::string& resize = "Stretch") {
    const std::string scaled = Named(name);
    if (mParts.insert(scaled).second) {
      Part part;
      part.name = scaled;
      part.width = Px(rect.width);
      part.height = Px(rect.height);
      part.resize = resize;
      part.imageFile = File(image);
      part.imageX = Px(rect.x);
      part.imageY = Px(rect.y);
      mDocument.parts.push_back(part);
    }
    return scaled;
  }

  std::string CellPart(const CellAtlas& atlas, int cell, const std::string& name) {
    return ImagePart(name, atlas.image, atlas.Cell(cell), "Center");
  }

  // The nine pieces of a frame cell, docked around the look: corners of the slice's
  // size, edges and centre stretched.
  std::vector<NonClient> Frame(const FrameAtlas& atlas, int cell, const std::string& name) {
    const Rect box = atlas.Cell(cell);
    const int s = atlas.slice;
    const int inner = atlas.cell - 2 * s;
    const int far = atlas.cell - s;
    const int ps = Px(s);
    const struct {
      const char* piece;
      Rect rect;
      Dock dock;
    } pieces[] = {
        {"TopLeft", {box.x, 0, s, s}, {0, 0, {}, {}}},
        {"Top", {box.x + s, 0, inner, s}, {ps, 0, -ps, {}}},
        {"TopRight", {box.x + far, 0, s, s}, {{}, 0, 0, {}}},
        {"Left", {box.x, s, s, inner}, {0, ps, {}, -ps}},
        {"Centre", {box.x + s, s, inner, inner}, {ps, ps, -ps, -ps}},
        {"Right", {box.x + far, s, s, inner}, {{}, ps, 0, -ps}},
        {"BottomLeft", {box.x, far, s, s}, {0, {}, {}, 0}},
        {"Bottom", {box.x + s, far, inner, s}, {ps, {}, -ps, 0}},
        {"BottomRight", {box.x + far, far, s, s}, {{}, {}, 0, 0}},
    };
    std::vector<NonClient> frame;
    for (const auto& piece : pieces) {
      frame.push_back({ImagePart(name + "." + piece.piece, atlas.image, piece.rect), piece.dock});
    }
    return frame;
  }

  // The frame's pieces around rect (1x) of a look of extent (1x) instead of around the
  // whole look.
  std::vector<NonClient> FrameAt(const FrameAtlas& atlas, int cell, const std::string& name, const Rect& rect,
                                 int extentWidth, int extentHeight) {
    std::vector<NonClient> frame = Frame(atlas, cell, name);
    for (NonClient& piece : frame) {
      Dock& dock = piece.dock;
      for (auto [edge, shift] : {std::pair{&dock.left, rect.x}, std::pair{&dock.top, rect.y},
                                 std::pair{&dock.right, -(extentWidth - rect.x - rect.width)},
                                 std::pair{&dock.bottom, -(extentHeight - rect.y - rect.height)}}) {
        if (*edge) {
          **edge += Px(shift);
        }
      }
    }
    return frame;
  }

  // The focus ring's eight edge pieces around the look (its middle draws nothing), to be
  // drawn over the look's own parts.
  std::vector<NonClient> FocusRing(bool onSelection) {
    const FocusCell cell = onSelection ? FocusCell::RingOnSelection : FocusCell::Ring;
    std::vector<NonClient> ring = Frame(Frames::kFocus, int(cell), onSelection ? "FocusRing.OnSelection" : "FocusRing");
    ring.erase(ring.begin() + 4);
    return ring;
  }

  // argb over the whole look.
  NonClient Cover(uint32_t argb) { return {Fill(argb), {0, 0, 0, 0}}; }
  // A band of argb along one edge, thickness pixels (1x) wide.
  NonClient Top(uint32_t argb, int thickness, int from = 0) {
    return {Fill(argb), {0, Px(from), 0, {}, 0, Px(thickness)}};
  }
  NonClient Bottom(uint32_t argb, int thickness) { return {Fill(argb), {0, {}, 0, 0, 0, Px(thickness)}}; }
  NonClient LeftEdge(uint32_t argb, int thickness) { return {Fill(argb), {0, 0, {}, 0, Px(thickness), 0}}; }
  NonClient RightEdge(uint32_t argb, int thickness) { return {Fill(argb), {{}, 0, 0, 0, Px(thickness), 0}}; }
  // A horizontal rule through the middle, inset from both sides.
  NonClient Rule(uint32_t argb, int inset) { return {Fill(argb), {Px(inset), {}, -Px(inset), {}, 0, Px(1)}}; }
  // A part centred in the look at its own size.
  NonClient Centred(const std::string& part) { return {part, {}}; }
  // A part at its own size, its right edge margin pixels inside the look's, centred vertically.
  NonClient AtRight(const std::string& part, int margin) { return {part, {{}, {}, -Px(margin), {}}}; }
  // A part at its own size with its top-left corner at (x, y).
  NonClient At(const std::string& part, int x, int y) { return {part, {Px(x), Px(y), {}, {}}}; }

  // Text in the look less the insets (1x pixels), aligned by hAlign, centred vertically.
  Text TextIn(uint32_t colour, int left, int right, float hAlign, int top = 0, int bottom = 0) {
    Text text;
    text.leftAbs = Px(left);
    text.rightAbs = -Px(right);
    text.hAlign = hAlign;
    text.topAbs = Px(top);
    text.bottomAbs = -Px(bottom);
    text.vAlign = 0.5f;
    text.part = Fill(colour);
    return text;
  }

  // Adds a look (its name made this scale's) and returns that name; a name already added
  // is not added again.
  std::string AddLook(const std::string& name, std::vector<NonClient> nonClient, std::optional<Text> text = {},
                      bool exactName = false) {
    Look look;
    look.name = exactName ? name : Named(name);
    look.nonClient = std::move(nonClient);
    look.text = std::move(text);
    for (const Look& existing : mDocument.looks) {
      if (existing.name == look.name) {
        return look.name;
      }
    }
    mDocument.looks.push_back(std::move(look));
    return mDocument.looks.back().name;
  }

  // A look whose children sit inside an inset: a transparent client part bounds them.
  std::string AddInsetLook(const std::string& name, std::vector<NonClient> nonClient, int inset) {
    const std::string added = AddLook(name, std::move(nonClient));
    for (Look& look : mDocument.looks) {
      if (look.name == added) {
        look.clientPart = Fill(P::kNone);
        look.clientLeft = look.clientTop = Px(inset);
        look.clientRight = look.clientBottom = -Px(inset);
      }
    }
    return added;
  }

  std::string AddList(const std::string& name, std::vector<std::string> slots, bool exactName = false) {
    mDocument.lookLists.push_back({exactName ? name : Named(name), std::move(slots)});
    return mDocument.lookLists.back().name;
  }

  // The look without parts, and the list of it alone: shared by both scales, added once.
  std::string TransparentLook() { return AddLook(kTransparent, {}, {}, true); }
  std::string TransparentList() {
    const std::string look = TransparentLook();
    for (const LookList& list : mDocument.lookLists) {
      if (list.name == kTransparent) {
        return list.name;
      }
    }
    return AddList(kTransparent, {look}, true);
  }

  int Scale() const { return mScale; }

private:
  SkinDocument& mDocument;
  int mScale;
  std::set<std::string> mParts;
};

// One state of a button: its look's parts and text.
struct ButtonState {
  std::vector<NonClient> parts;
  std::optional<Text> text;
};

// The fourteen looks of a button from its states, named name + "." + state: the focus
// looks (3-5, 10-12) are the states' own with the focus ring over them (a light ring on
// the selected states, which show the accent already); the disabled look serves both
// disabled slots unless the selected one has its own.
std::string ButtonList(Builder& b, const std::string& name, const std::array<ButtonState, 7>& states,
                       const std::optional<ButtonState>& onDisabled = {}) {
  static const char* const kStates[] = {"Normal", "Hover", "Pressed", "On", "OnHover", "OnPressed", "Disabled"};
  std::array<std::string, 7> plain;
  std::array<std::string, 6> focused;
  for (size_t i = 0; i < states.size(); ++i) {
    plain[i] = b.AddLook(name + "." + kStates[i], states[i].parts, states[i].text);
  }
  for (size_t i = 0; i < focused.size(); ++i) {
    std::vector<NonClient> parts = states[i].parts;
    const std::vector<NonClient> ring = b.FocusRing(i >= 3);
    parts.insert(parts.end(), ring.begin(), ring.end());
    focused[i] = b.AddLook(name + ".Focus" + kStates[i], std::move(parts), states[i].text);
  }
  const std::string selectedDisabled =
      onDisabled ? b.AddLook(name + ".OnDisabled", onDisabled->parts, onDisabled->text) : plain[6];
  return b.AddList(name, {plain[0], plain[1], plain[2], focused[0], focused[1], focused[2], plain[6], plain[3],
                          plain[4], plain[5], focused[3], focused[4], focused[5], selectedDisabled});
}

void AddBackgrounds(Builder& b, LookLists& lists) {
  lists.transparent = b.TransparentList();
  lists.background = b.AddList("Background", {b.AddLook("Background", {b.Cover(P::kWindow)})});
  lists.dialog = b.AddList("Dialog", {b.AddLook("Dialog", {b.Cover(P::kSurface)})});
  lists.header =
      b.AddList("DeviceHeader",
                {b.AddLook("DeviceHeader", {b.Top(P::kSurface, kHeaderHeight), b.Top(kHeaderLine, 1, kHeaderHeight)})});
  lists.card = b.AddList("Card", {b.AddLook("Card", b.Frame(Frames::kPanel, int(PanelCell::Card), "Card"))});
  lists.well = b.AddList("Well", {b.AddLook("Well", b.Frame(Frames::kPanel, int(PanelCell::Well), "Well"))});
  lists.chassis = b.AddList("Chassis", {b.AddLook("Chassis", b.Frame(Frames::kChassis, 0, "Chassis"))});
  lists.accentStrip = b.AddList("AccentStrip", {b.AddLook("AccentStrip", {b.Cover(P::kAccent)})});
}

void AddLabels(Builder& b, LookLists& lists) {
  const struct {
    std::string* list;
    const char* name;
    uint32_t colour;
    float hAlign;
  } labels[] = {
      {&lists.caption, "Label.Caption", P::kTextSecondary, 0},
      {&lists.captionCentre, "Label.CaptionCentre", P::kTextSecondary, 0.5f},
      {&lists.body, "Label.Body", P::kText, 0},
      {&lists.bodyRight, "Label.BodyRight", P::kTextSecondary, 1},
      {&lists.header1, "Label.Header", P::kText, 0},
      {&lists.value, "Label.Value", P::kText, 0.5f},
      {&lists.valueRight, "Label.ValueRight", P::kText, 1},
  };
  for (const auto& label : labels) {
    *label.list = b.AddList(label.name, {b.AddLook(label.name, {}, b.TextIn(label.colour, 0, 0, label.hAlign))});
  }
}

void AddPictures(Builder& b, LookLists& lists) {
  const Rect logo = Pictures::kLogo.Cell(0);
  lists.logo =
      b.AddList("Logo", {b.AddLook("Logo", {{b.ImagePart("Logo", Pictures::kLogo.image, logo), {0, {}, {}, {}}}})});
  lists.productImage = b.AddList(
      "ProductImage", {b.AddLook("ProductImage", {b.Centred(b.CellPart(Pictures::kProduct, 0, "ProductImage"))})});
  lists.fileDropper =
      b.AddList("CE.FileDropper",
                {b.AddLook("CE.FileDropper", {b.Centred(b.CellPart(Pictures::kFileDropper, 0, "CE.FileDropper"))})});

  // One look per model: the picture's name plate, keybed and the wells of its faders and
  // buttons; or the plate alone.
  std::vector<std::string> pictures;
  std::vector<std::string> plates;
  for (int model = 0; model < 3; ++model) {
    const int keys = kModelKeys[model];
    const std::string plate = b.CellPart(Cells::kPlates, model, "Plate." + std::to_string(keys));
    const std::string keybed =
        b.ImagePart("Keybed." + std::to_string(keys), Keybed::Image(keys), Keybed::Area(keys), "Stretch");
    std::vector<NonClient> parts = {b.At(plate, PictureGeometry::kPlateX, PictureGeometry::kPlateY),
                                    b.At(keybed, PictureGeometry::kKeybedX, PictureGeometry::kKeybedY)};
    for (Rect well : {PictureGeometry::kFaderWell, PictureGeometry::kButtonWell}) {
      if (keys == 25) {
        well.width = PictureGeometry::kFirstElementWell;
      }
      const std::vector<NonClient> frame = b.FrameAt(Frames::kPanel, int(PanelCell::Well), "Well", well,
                                                     PictureGeometry::kWidth, PictureGeometry::kHeight);
      parts.insert(parts.end(), frame.begin(), frame.end());
    }
    pictures.push_back(b.AddLook("ModelPicture." + std::to_string(keys), parts));
    const std::string large = b.CellPart(Cells::kLargePlates, model, "LargePlate." + std::to_string(keys));
    plates.push_back(b.AddLook("ModelPlate." + std::to_string(keys), {b.Centred(large)}));
  }
  lists.modelPicture = b.AddList("ModelPicture", pictures);
  lists.modelPlate = b.AddList("ModelPlate", plates);
  lists.productLogo =
      b.AddList("ProductLogo", {b.AddLook("ProductLogo", {b.Centred(b.CellPart(Cells::kPlates, 2, "Plate.61"))})});

  const char* const icons[] = {"Error", "Question", "Warning", "Information"};
  std::vector<std::string> messageIcons;
  for (int icon = 0; icon < int(MessageIcon::Count); ++icon) {
    const std::string name = std::string("MessageIcon.") + icons[icon];
    messageIcons.push_back(b.AddLook(name, {b.Centred(b.CellPart(Cells::kMessageIcons, icon, name))}));
  }
  lists.messageIcon = b.AddList("MessageIcon", messageIcons);
}

void AddMenus(Builder& b, LookLists& lists) {
  const bool high = b.Scale() == 2;
  lists.menuBar = b.AddList("MenuBar", {b.AddLook("MenuBar", {b.Cover(P::kSurface), b.Bottom(kHeaderLine, 1)})});

  // The titles: the names the framework skin gives them.
  const std::string suffix = high ? ".MainMenu.HighDPI" : ".MainMenu";
  const auto title = [&](const char* state, std::vector<NonClient> parts, uint32_t colour) {
    return b.AddLook(std::string("PresetEditor.MenuItem.") + state + suffix, std::move(parts),
                     b.TextIn(colour, 10, 10, 0.5f), true);
  };
  lists.menuTitle = b.AddList("PresetEditor.MenuItem" + suffix,
                              {title("Unselected", {b.Cover(P::kSurface)}, P::kText),
                               title("SelectedHover", {b.Cover(P::kControlHover)}, P::kText),
                               title("SelectedPressed", {b.Cover(P::kRaised), b.Bottom(P::kAccent, 2)}, P::kText),
                               title("UnselectedDisable", {b.Cover(P::kSurface)}, P::kTextDisabled)},
                              true);

  lists.popupMenu = b.AddList(
      "PopupMenu", std::vector<std::string>(
                       3, b.AddInsetLook("PopupMenu", b.Frame(Frames::kPanel, int(PanelCell::Popup), "Popup"), 3)));

  // The rows: the framework skin's names for 1x, the editor's list for 2x.
  const std::string rowPrefix = high ? "PresetEditor.MenuItem." : "CE.MenuItem.";
  const std::string rowSuffix = high ? ".HighDPI" : "";
  const std::string arrow = b.CellPart(Cells::kGlyphs, int(Glyph::Right), "CE.MenuItem.SubMenuArrow.Unselect");
  const std::string arrowOn = b.CellPart(Cells::kGlyphs, int(Glyph::RightOnAccent), "CE.MenuItem.SubMenuArrow.Select");
  const auto row = [&](const char* state, uint32_t fill, uint32_t text, const std::string& glyph) {
    std::vector<NonClient> parts = {b.Cover(fill)};
    if (!glyph.empty()) {
      parts.push_back(b.AtRight(glyph, 6));
    }
    return b.AddLook(rowPrefix + state + rowSuffix, std::move(parts), b.TextIn(text, 30, 104, 0), true);
  };
  const std::vector<std::string> rows = {
      row("Unselected", P::kRaised, P::kText, ""),
      row("UnselectedHover", P::kControlHover, P::kText, ""),
      row("UnselectedPressed", P::kControlPressed, P::kText, ""),
      row("UnselectedSubmenu", P::kRaised, P::kText, arrow),
      row("UnselectedSubmenuHover", P::kControlHover, P::kText, arrow),
      row("UnselectedSubmenuPressed", P::kControlPressed, P::kText, arrow),
      row("UnselectedDisabled", P::kRaised, P::kTextDisabled, ""),
      row("Selected", P::kAccent, P::kTextOnAccent, ""),
      row("SelectedHover", P::kAccentHover, P::kTextOnAccent, ""),
      row("SelectedPressed", P::kAccentPressed, P::kTextOnAccent, ""),
      row("SelectedSubmenu", P::kAccent, P::kTextOnAccent, arrowOn),
      row("SelectedSubmenuHover", P::kAccentHover, P::kTextOnAccent, arrowOn),
      row("SelectedSubmenuPressed", P::kAccentPressed, P::kTextOnAccent, arrowOn),
      b.AddLook(rowPrefix + "Separator" + rowSuffix, {b.Cover(P::kRaised), b.Rule(P::kBorder, 8)}, {}, true),
  };
  lists.menuRow = b.AddList(high ? "PresetEditor.MenuItem.HighDPI" : "CE.MenuItem", rows, true);

  // The row's check box: nothing while unchecked; the mark, white on a selected row.
  const std::string none = b.TransparentLook();
  const std::string mark = b.AddLook("CE.MenuItem.Check.Unselect",
                                     {b.Centred(b.CellPart(Cells::kGlyphs, int(Glyph::BoxChecked), "MenuCheck"))});
  const std::string markOn =
      b.AddLook("CE.MenuItem.Check.Select",
                {b.Centred(b.CellPart(Cells::kGlyphs, int(Glyph::BoxCheckedOnAccent), "MenuCheckOnAccent"))});
  std::vector<std::string> checks(14, markOn);
  std::fill(checks.begin(), checks.begin() + 7, none);
  checks[7] = mark;
  lists.menuCheck = b.AddList("CE.MenuItem.Check", checks);
}

void AddButtons(Builder& b, LookLists& lists) {
  std::vector<std::string> push;
  for (int cell = 0; cell < int(ButtonCell::Count); ++cell) {
    const auto state = ButtonCell(cell);
    const uint32_t text = state == ButtonCell::Disabled     ? P::kTextDisabled
                          : state == ButtonCell::OnDisabled ? P::kTextSecondary
                          : cell >= int(ButtonCell::On)     ? P::kTextOnAccent
                                                            : P::kText;
    const std::string name = "PushButton." + std::to_string(cell);
    push.push_back(b.AddLook(name, b.Frame(Frames::kButton, cell, name), b.TextIn(text, 8, 8, 0.5f)));
  }
  lists.pushButton = b.AddList("PushButton", push);
  // A dialog's action: in the accent from the start (its "on" looks at rest, too).
  const auto pushed = [&](ButtonCell state) { return push[size_t(state)]; };
  const std::vector<std::string> primary = {pushed(ButtonCell::On),           pushed(ButtonCell::OnHover),
                                            pushed(ButtonCell::OnPressed),    pushed(ButtonCell::OnFocus),
                                            pushed(ButtonCell::OnFocusHover), pushed(ButtonCell::OnFocusPressed),
                                            pushed(ButtonCell::Disabled)};
  std::vector<std::string> primarySlots = primary;
  primarySlots.insert(primarySlots.end(), primary.begin(), primary.end());
  lists.primaryButton = b.AddList("PrimaryButton", primarySlots);

  // Tabs: flat on the band they sit on; the selected one underlined in the accent.
  const auto tabs = [&](const std::string& name, uint32_t band) {
    const uint32_t hover = Canvas::Mix(band, P::kControlHover, 0.5);
    const auto tab = [&](uint32_t fill, uint32_t text, uint32_t bar) {
      ButtonState state{{b.Cover(fill)}, b.TextIn(text, 6, 6, 0.5f)};
      if (bar != 0) {
        state.parts.push_back(b.Bottom(bar, 2));
      }
      return state;
    };
    return ButtonList(b, name,
                      {tab(band, P::kTextSecondary, 0), tab(hover, P::kText, 0), tab(P::kControlPressed, P::kText, 0),
                       tab(band, P::kText, P::kAccent), tab(hover, P::kText, P::kAccentHover),
                       tab(P::kControlPressed, P::kText, P::kAccentPressed), tab(band, P::kTextDisabled, 0)});
  };
  lists.tab = tabs("Tab", P::kSurface);
  lists.subTab = tabs("SubTab", P::kRaised);

  const auto switchState = [&](SwitchCell cell, const char* state) {
    return ButtonState{{b.Centred(b.CellPart(Cells::kSwitch, int(cell), std::string("Switch.") + state))}, {}};
  };
  lists.toggle =
      ButtonList(b, "Switch",
                 {switchState(SwitchCell::Off, "Off"), switchState(SwitchCell::OffHover, "OffHover"),
                  switchState(SwitchCell::OffPressed, "OffPressed"), switchState(SwitchCell::On, "On"),
                  switchState(SwitchCell::OnHover, "OnHover"), switchState(SwitchCell::OnPressed, "OnPressed"),
                  switchState(SwitchCell::OffDisabled, "OffDisabled")},
                 switchState(SwitchCell::OnDisabled, "OnDisabled"));

  // Small square buttons showing a glyph: the up-down's steppers and the scroll arrows.
  const auto glyphButton = [&](const std::string& name, Glyph glyph, Glyph disabled, uint32_t rest,
                               std::optional<NonClient> edge) {
    const std::string part = b.CellPart(Cells::kGlyphs, int(glyph), "Glyph." + std::to_string(int(glyph)));
    const std::string dim = b.CellPart(Cells::kGlyphs, int(disabled), "Glyph." + std::to_string(int(disabled)));
    const auto state = [&](uint32_t fill, const std::string& mark) {
      ButtonState look{{b.Cover(fill)}, {}};
      if (edge) {
        look.parts.push_back(*edge);
      }
      look.parts.push_back(b.Centred(mark));
      return look;
    };
    const ButtonState normal = state(rest, part);
    const ButtonState hover = state(P::kControlHover, part);
    const ButtonState pressed = state(P::kControlPressed, part);
    return ButtonList(b, name, {normal, hover, pressed, normal, hover, pressed, state(rest, dim)});
  };
  lists.spinUp = glyphButton("SpinUp", Glyph::Up, Glyph::UpDisabled, P::kControl, b.LeftEdge(P::kBorder, 1));
  lists.spinDown = glyphButton("SpinDown", Glyph::Down, Glyph::DownDisabled, P::kControl, b.LeftEdge(P::kBorder, 1));
  lists.scrollUp = glyphButton("ScrollUp", Glyph::Up, Glyph::UpDisabled, P::kInset, {});
  lists.scrollDown = glyphButton("ScrollDown", Glyph::Down, Glyph::DownDisabled, P::kInset, {});
  lists.scrollLeft = glyphButton("ScrollLeft", Glyph::Left, Glyph::LeftDisabled, P::kInset, {});
  lists.scrollRight = glyphButton("ScrollRight", Glyph::Right, Glyph::RightDisabled, P::kInset, {});
}

void AddFields(Builder& b, LookLists& lists) {
  const auto field = [&](FieldCell cell) {
    return b.Frame(Frames::kField, int(cell), "Field." + std::to_string(int(cell)));
  };
  const auto box = [&](const char* state, FieldCell cell, uint32_t text) {
    return b.AddLook(std::string("TextBox.") + state, field(cell), b.TextIn(text, 6, 6, 0));
  };
  // 0 normal, 1 hover, 2 focused, 6 disabled, 9 the hint.
  std::vector<std::string> textBox(10);
  textBox[0] = box("Normal", FieldCell::Normal, P::kText);
  textBox[1] = box("Hover", FieldCell::Hover, P::kText);
  textBox[2] = box("Focused", FieldCell::Focus, P::kText);
  textBox[6] = box("Disabled", FieldCell::Disabled, P::kTextDisabled);
  textBox[9] = box("Hint", FieldCell::Normal, P::kTextSecondary);
  lists.textBox = b.AddList("TextBox", textBox);

  const std::string down = b.CellPart(Cells::kGlyphs, int(Glyph::Down), "Glyph." + std::to_string(int(Glyph::Down)));
  const std::string up = b.CellPart(Cells::kGlyphs, int(Glyph::Up), "Glyph." + std::to_string(int(Glyph::Up)));
  const std::string downDisabled =
      b.CellPart(Cells::kGlyphs, int(Glyph::DownDisabled), "Glyph." + std::to_string(int(Glyph::DownDisabled)));
  const auto combo = [&](const char* state, FieldCell cell, const std::string& arrow, uint32_t text) {
    std::vector<NonClient> parts = field(cell);
    parts.push_back(b.AtRight(arrow, 7));
    return b.AddLook(std::string("ComboBox.") + state, std::move(parts), b.TextIn(text, 8, 24, 0));
  };
  lists.comboBox = b.AddList("ComboBox", {combo("Closed", FieldCell::Normal, down, P::kText),
                                          combo("ClosedFocused", FieldCell::Focus, down, P::kText),
                                          combo("ClosedHover", FieldCell::Hover, down, P::kText),
                                          combo("ClosedHoverFocused", FieldCell::FocusHover, down, P::kText),
                                          combo("OpenFocused", FieldCell::Open, up, P::kText),
                                          combo("OpenHoverFocused", FieldCell::OpenHover, up, P::kText),
                                          combo("Disabled", FieldCell::Disabled, downDisabled, P::kTextDisabled)});

  lists.listBox = b.AddList(
      "ListBox", std::vector<std::string>(
                     3, b.AddInsetLook("ListBox", b.Frame(Frames::kPanel, int(PanelCell::Popup), "Popup"), 3)));

  const auto listRow = [&](const char* state, uint32_t fill, uint32_t text) {
    return b.AddLook(std::string("ListRow.") + state, {b.Cover(fill)}, b.TextIn(text, 8, 8, 0));
  };
  const std::string normal = listRow("Normal", P::kRaised, P::kText);
  const std::string hover = listRow("Hover", P::kControlHover, P::kText);
  const std::string pressed = listRow("Pressed", P::kControlPressed, P::kText);
  const std::string on = listRow("On", P::kAccent, P::kTextOnAccent);
  const std::string onHover = listRow("OnHover", P::kAccentHover, P::kTextOnAccent);
  const std::string onPressed = listRow("OnPressed", P::kAccentPressed, P::kTextOnAccent);
  const std::string disabled = listRow("Disabled", P::kRaised, P::kTextDisabled);
  const std::string separator = b.AddLook("ListRow.Separator", {b.Cover(P::kRaised), b.Rule(P::kBorder, 6)});
  lists.listRow = b.AddList("ListRow", {normal, hover, pressed, normal, hover, pressed, disabled, on, onHover,
                                        onPressed, on, onHover, onPressed, separator});

  lists.toolTip =
      b.AddList("ToolTip", {b.AddLook("ToolTip", b.Frame(Frames::kPanel, int(PanelCell::ToolTip), "ToolTip"),
                                      b.TextIn(P::kText, 8, 8, 0, 4, 4))});
}

void AddScrollBars(Builder& b, LookLists& lists) {
  lists.scrollBar = b.AddList("ScrollBar", {b.AddLook("ScrollBar", {b.Cover(P::kInset)})});
  lists.scrollCorner = b.AddList("ScrollCorner", {b.AddLook("ScrollCorner", {b.Cover(P::kInset)})});
  lists.scrollChannel = b.AddList(
      "ScrollChannel", {b.AddLook("ScrollChannel", {b.Cover(P::kInset)}),
                        b.AddLook("ScrollChannel.Paging", {b.Cover(Canvas::Mix(P::kInset, P::kControlHover, 0.5))})});
  const auto thumb = [&](ThumbCell cell) {
    return ButtonState{b.Frame(Frames::kThumb, int(cell), "Thumb." + std::to_string(int(cell))), {}};
  };
  const ButtonState normal = thumb(ThumbCell::Normal);
  const ButtonState hover = thumb(ThumbCell::Hover);
  const ButtonState pressed = thumb(ThumbCell::Pressed);
  lists.scrollThumb =
      ButtonList(b, "ScrollThumb", {normal, hover, pressed, normal, hover, pressed, thumb(ThumbCell::Disabled)});
}

void AddElements(Builder& b, LookLists& lists) {
  const struct {
    std::string* list;
    const CellAtlas* atlas;
    const char* name;
  } elements[] = {
      {&lists.knob, &Cells::kKnob, "Knob"},
      {&lists.fader, &Cells::kFader, "Fader"},
      {&lists.hardwareButton, &Cells::kHardwareButton, "HardwareButton"},
      {&lists.pad, &Cells::kPad, "Pad"},
      {&lists.wheels, &Cells::kWheels, "Wheels"},
      {&lists.jack, &Cells::kJack, "Jack"},
  };
  const char* const cells[] = {"Normal", "Hover", "Pressed", "On", "OnHover", "OnPressed", "Disabled"};
  for (const auto& element : elements) {
    std::array<ButtonState, 7> states;
    for (int cell = 0; cell < int(ElementCell::Count); ++cell) {
      const std::string part = std::string(element.name) + "." + cells[cell];
      states[size_t(cell)] = {{b.Centred(b.CellPart(*element.atlas, cell, part))}, {}};
    }
    *element.list = ButtonList(b, element.name, states);
  }

  // The keyboard: a frame over the keys that the model's look draws below it.
  const auto overlay = [&](uint32_t fill, uint32_t frame) {
    ButtonState state{{b.Cover(fill)}, {}};
    if (frame != 0) {
      state.parts.push_back(b.Top(frame, 2));
      state.parts.push_back(b.Bottom(frame, 2));
      state.parts.push_back(b.LeftEdge(frame, 2));
      state.parts.push_back(b.RightEdge(frame, 2));
    }
    return state;
  };
  lists.keyboard = ButtonList(
      b, "Keyboard",
      {overlay(kHitOnly, 0), overlay(Canvas::Fade(0xFFFFFFFF, 0.08), 0), overlay(Canvas::Fade(0xFF000000, 0.12), 0),
       overlay(Canvas::Fade(P::kAccent, 0.06), P::kAccent), overlay(Canvas::Fade(P::kAccent, 0.1), P::kAccentHover),
       overlay(Canvas::Fade(P::kAccent, 0.14), P::kAccentPressed), overlay(kHitOnly, 0)});
}

} // namespace

LookLists AddLooks(SkinDocument& document, int scale) {
  Builder builder(document, scale);
  LookLists lists;
  lists.scale = scale;
  AddBackgrounds(builder, lists);
  AddLabels(builder, lists);
  AddPictures(builder, lists);
  AddMenus(builder, lists);
  AddButtons(builder, lists);
  AddFields(builder, lists);
  AddScrollBars(builder, lists);
  AddElements(builder, lists);
  return lists;
}

} // namespace QZ::SkinArt

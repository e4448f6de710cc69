#pragma once
// The rectangles a skin's placement records give its controls before any control exists:
// positions and sizes against the parent, its client area or a sibling, with anchors and
// fixed ("Self") limits. Client areas are taken as the whole parent (looks' insets are the
// controls' business), children are placed in document order and text never grows a
// control; enough to check a skin's geometry and to draw it for review.
//
//   const QZTest::LaidOutControl root = QZTest::LayOut(*skin.Control("mainControl"), {}, nullptr);
//   root.children[0].rect   // in root's coordinates

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "Resources/Documents/RawSkinDocument.h"

namespace QZTest {

struct LayoutRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

struct LaidOutControl {
  const RawControl* control = nullptr;
  // In the parent's coordinates.
  LayoutRect rect;
  std::vector<LaidOutControl> children;
};

namespace SkinLayoutDetail {

inline double Nearest(double value) { return value >= 0 ? std::trunc(value + 0.5) : std::trunc(value - 0.5); }

inline double Number(const RawControl& control, const std::string& key, double fallback) {
  const auto found = control.attributes.find(key);
  return found == control.attributes.end() ? fallback : std::atof(found->second.c_str());
}

// One axis ("X" or "Y") of control among its already placed siblings.
inline void PlaceAxis(const RawControl& control, const std::string& axis, double parentSize,
                      const std::vector<LaidOutControl>& siblings, double& position, double& size) {
  const bool x = axis == "X";
  const auto sibling = [&](const std::string& name, double& origin, double& extent) {
    origin = extent = 0;
    for (auto it = siblings.rbegin(); it != siblings.rend(); ++it) {
      if (it->control->name == name) {
        origin = x ? it->rect.x : it->rect.y;
        extent = x ? it->rect.width : it->rect.height;
        return;
      }
    }
  };
  const double anchor = Number(control, axis + "PlacementAnchor", 0);
  const std::string positionTo = control.Attribute(axis + "PositionToControl", "Client");
  const double positionRel = Number(control, axis + "PositionRel", 0);
  const double positionAbs = std::trunc(Number(control, axis + "PositionAbs", 0));
  if (positionTo == "Parent" || positionTo == "Screen" || positionTo == "Client" || positionTo == "Active Window") {
    position = Nearest(positionRel * parentSize) + positionAbs;
  } else {
    double origin = 0;
    double extent = 0;
    sibling(positionTo, origin, extent);
    position = Nearest(positionRel * extent) + origin + positionAbs;
  }
  const std::string sizeTo = control.Attribute(axis + "SizeToControl", "Self");
  const double sizeRel = Number(control, axis + "SizeRel", 0);
  const double sizeAbs = std::trunc(Number(control, axis + "SizeAbs", x ? 16 : 40));
  if (sizeTo == "Self") {
    size = std::max(sizeAbs, 0.0);
  } else {
    double origin = 0;
    double extent = parentSize;
    if (sizeTo != "Parent" && sizeTo != "Screen" && sizeTo != "Client" && sizeTo != "Active Window") {
      sibling(sizeTo, origin, extent);
    }
    const double edge = Nearest(sizeRel * extent) + origin + sizeAbs;
    const double distance = edge - position;
    size = distance > 0 && anchor >= 0 && anchor < 1   ? distance / (1 - anchor)
           : distance < 0 && anchor > 0 && anchor <= 1 ? distance / -anchor
                                                       : 0;
  }
  position -= anchor * size;
  const double minimum = Number(control, axis + "MinSizeAbs", 0);
  if (!control.attributes.contains(axis + "MinSizeToControl") && size < minimum) {
    position -= Nearest(anchor * (minimum - size));
    size = minimum;
  }
  const double maximum = Number(control, axis + "MaxSizeAbs", 0);
  if (!control.attributes.contains(axis + "MaxSizeToControl") && maximum != 0 && size > maximum) {
    position -= Nearest(anchor * (maximum - size));
    size = maximum;
  }
}

} // namespace SkinLayoutDetail

// Lays control out in a parent of parentSize (a top-level control: in a screen of any size)
// among siblings already placed, then its children in its own rectangle.
inline LaidOutControl LayOut(const RawControl& control, const LayoutRect& parent,
                             const std::vector<LaidOutControl>* siblings) {
  static const std::vector<LaidOutControl> kNone;
  LaidOutControl placed;
  placed.control = &control;
  SkinLayoutDetail::PlaceAxis(control, "X", parent.width, siblings ? *siblings : kNone, placed.rect.x,
                              placed.rect.width);
  SkinLayoutDetail::PlaceAxis(control, "Y", parent.height, siblings ? *siblings : kNone, placed.rect.y,
                              placed.rect.height);
  for (const RawControl& child : control.children) {
    placed.children.push_back(LayOut(child, placed.rect, &placed.children));
  }
  return placed;
}

// The laid-out control at a path of names below root ("viewDevice/tabControl"); null when
// a name is missing.
inline const LaidOutControl* Find(const LaidOutControl& root, const std::string& path) {
  const LaidOutControl* at = &root;
  size_t start = 0;
  while (at && start < path.size()) {
    const size_t slash = path.find('/', start);
    const std::string name = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    const LaidOutControl* next = nullptr;
    for (const LaidOutControl& child : at->children) {
      if (child.control->name == name) {
        next = &child;
      }
    }
    at = next;
    start = slash == std::string::npos ? path.size() : slash + 1;
  }
  return at;
}

} // namespace QZTest

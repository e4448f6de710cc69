#pragma once
// The skin document as the skin-art program builds it, and its XML text: colorizers,
// parts, looks, look lists and the skins' control trees, written in the order the skin
// reader needs (everything defined before it is used).
//
//   SkinDocument document;
//   document.colorizers.push_back({"Colour.FF3D9BFF", 0xFF3D9BFF});
//   document.parts.push_back(Part::Colour("Fill.FF3D9BFF", "Colour.FF3D9BFF"));
//   std::string xml = document.Write();
//
// Names are kept as given; the builders (SkinLooks.cpp, SkinTree.cpp) make them unique.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace QZ::SkinArt {

struct Colorizer {
  std::string name;
  uint32_t argb;
};

struct Part {
  std::string name;
  int width = 1;
  int height = 1;
  std::string resize = "Stretch";
  // An image part: the file and the rectangle's origin (its size is width x height).
  std::string imageFile;
  int imageX = 0;
  int imageY = 0;
  // A colour part.
  std::string colorizer;

  static Part Colour(std::string name, std::string colorizer) {
    Part part;
    part.name = std::move(name);
    part.colorizer = std::move(colorizer);
    return part;
  }
};

// Where a non-client part sits: offsets from the look's edges (left and top from the
// left and top, right and bottom from the right and bottom, normally 0 or negative), and
// a width or height that replaces the part's own where an offset is missing.
struct Dock {
  std::optional<int> left, top, right, bottom;
  int width = 0;
  int height = 0;
};

struct NonClient {
  std::string part;
  Dock dock;
};

// The text block: each edge a share of the look's extent plus pixels; alignment 0..1.
struct Text {
  float leftRel = 0;
  int leftAbs = 0;
  float rightRel = 1;
  int rightAbs = 0;
  float hAlign = 0;
  float topRel = 0;
  int topAbs = 0;
  float bottomRel = 1;
  int bottomAbs = 0;
  float vAlign = 0.5f;
  std::string part;
};

struct Look {
  std::string name;
  // Empty for a look without a client part (its client rectangle is the whole look).
  std::string clientPart;
  int clientLeft = 0, clientTop = 0, clientRight = 0, clientBottom = 0;
  std::vector<NonClient> nonClient;
  std::optional<Text> text;
};

struct LookList {
  std::string name;
  // One look name per slot; empty for an empty slot.
  std::vector<std::string> slots;
};

struct Control {
  std::string className;
  std::string name;
  // SubControl attributes in the order written.
  std::vector<std::pair<std::string, std::string>> attributes;
  // CreateParam ID, Type and text.
  struct Param {
    std::string id;
    std::string type;
    std::string value;
  };
  std::vector<Param> params;
  std::string skinName;
  std::string lookList; // empty: no look list
  std::vector<Control> children;

  Control& Set(const std::string& attribute, const std::string& value);
  Control& Set(const std::string& attribute, int value) { return Set(attribute, std::to_string(value)); }
  Control& SetFloat(const std::string& attribute, double value);
  Control& AddParam(const std::string& id, const std::string& type, const std::string& value);
  Control& Add(Control child);
  // The child named name; null when there is none.
  Control* Find(const std::string& name);
};

struct Skin {
  std::string name;
  std::string fontName;
  std::string fontSize;
  std::string fontStyle;
  std::vector<Control> controls;
};

struct SkinDocument {
  std::string applicationName = "PresetEditor";
  std::vector<Colorizer> colorizers;
  std::vector<Part> parts;
  std::vector<Look> looks;
  std::vector<LookList> lookLists;
  std::vector<Skin> skins;

  // The UTF-8 XML text, root "Vandrel_Skin_Definitions".
  std::string Write() const;
};

// A float as the skin writes it: the shortest decimal text that reads back to it
// ("0.5", "1", "-0.25").
std::string FloatText(double value);

} // namespace QZ::SkinArt

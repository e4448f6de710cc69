#include "Resources/SkinArt/SkinDocument.h"

#include <cstdio>
#include <cstdlib>

namespace QZ::SkinArt {

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    default:
      out += c;
    }
  }
  return out;
}

std::string Hex(uint32_t argb) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", argb);
  return text;
}

class Writer {
public:
  void Open(int depth, const std::string& element) { Line(depth, "<" + element + ">"); }
  void Close(int depth, const std::string& element) { Line(depth, "</" + element + ">"); }
  // An element with attributes; empty (self-closing) unless open.
  void Element(int depth, const std::string& element,
               const std::vector<std::pair<std::string, std::string>>& attributes, bool open = false) {
    std::string text = "<" + element;
    for (const auto& [name, value] : attributes) {
      text += " " + name + "=\"" + Escaped(value) + "\"";
    }
    Line(depth, text + (open ? ">" : "/>"));
  }
  void Text(int depth, const std::string& text) { Line(depth, text); }
  std::string Take() { return std::move(mOut); }

private:
  void Line(int depth, const std::string& text) {
    mOut.append(size_t(depth) * 2, ' ');
    mOut += text;
    mOut += '\n';
  }
  std::string mOut;
};

void WriteControl(Writer& writer, int depth, const Control& control) {
  std::vector<std::pair<std::string, std::string>> attributes = {{"Class", control.className}, {"Name", control.name}};
  attributes.insert(attributes.end(), control.attributes.begin(), control.attributes.end());
  writer.Element(depth, "SubControl", attributes, true);
  if (!control.params.empty()) {
    writer.Open(depth + 1, "CreateParamList");
    for (const Control::Param& param : control.params) {
      writer.Text(depth + 2, "<CreateParam ID=\"" + Escaped(param.id) + "\" Type=\"" + Escaped(param.type) + "\">" +
                                 Escaped(param.value) + "</CreateParam>");
    }
    writer.Close(depth + 1, "CreateParamList");
  }
  std::vector<std::pair<std::string, std::string>> skin = {{"Name", control.skinName}};
  if (!control.lookList.empty()) {
    skin.emplace_back("LookList", control.lookList);
  }
  if (control.children.empty()) {
    writer.Element(depth + 1, "Skin", skin);
  } else {
    writer.Element(depth + 1, "Skin", skin, true);
    for (const Control& child : control.children) {
      WriteControl(writer, depth + 2, child);
    }
    writer.Close(depth + 1, "Skin");
  }
  writer.Close(depth, "SubControl");
}

} // namespace

std::string FloatText(double value) {
  char text[32];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value || std::strtof(text, nullptr) == float(value)) {
      break;
    }
  }
  return text;
}

Control& Control::Set(const std::string& attribute, const std::string& value) {
  for (auto& [key, existing] : attributes) {
    if (key == attribute) {
      existing = value;
      return *this;
    }
  }
  attributes.emplace_back(attribute, value);
  return *this;
}

Control& Control::SetFloat(const std::string& attribute, double value) { return Set(attribute, FloatText(value)); }

Control& Control::AddParam(const std::string& id, const std::string& type, const std::string& value) {
  params.push_back({id, type, value});
  return *this;
}

Control& Control::Add(Control child) {
  children.push_back(std::move(child));
  return children.back();
}

Control* Control::Find(const std::string& childName) {
  for (Control& child : children) {
    if (child.name == childName) {
      return &child;
    }
  }
  return nullptr;
}

std::string SkinDocument::Write() const {
  Writer writer;
  writer.Text(0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  writer.Text(0, "<!-- Written by the skin-art program (Resources/SkinArt); change the program, not this file. -->");
  writer.Open(0, "Vandrel_Skin_Definitions");
  writer.Element(1, "Application", {{"Name", applicationName}}, true);

  writer.Open(2, "Colorizers");
  for (const Colorizer& colorizer : colorizers) {
    writer.Element(3, "Colorizer",
                   {{"Name", colorizer.name}, {"ColorType", "SolidFill"}, {"Color", Hex(colorizer.argb)}});
  }
  writer.Close(2, "Colorizers");

  writer.Open(2, "Parts");
  for (const Part& part : parts) {
    std::vector<std::pair<std::string, std::string>> attributes = {{"Name", part.name},
                                                                   {"Width", std::to_string(part.width)},
                                                                   {"Height", std::to_string(part.height)},
                                                                   {"ResizeType", part.resize}};
    if (!part.imageFile.empty()) {
      attributes.emplace_back("ImageFile", part.imageFile);
      attributes.emplace_back("ImageLocX", std::to_string(part.imageX));
      attributes.emplace_back("ImageLocY", std::to_string(part.imageY));
    }
    if (!part.colorizer.empty()) {
      attributes.emplace_back("ColorizerName", part.colorizer);
    }
    writer.Element(3, "Part", attributes);
  }
  writer.Close(2, "Parts");

  writer.Open(2, "Looks");
  for (const Look& look : looks) {
    writer.Element(3, "Look", {{"Name", look.name}}, true);
    if (!look.clientPart.empty()) {
      writer.Element(4, "ClientPart",
                     {{"Name", look.clientPart},
                      {"OffsetLeft", std::to_string(look.clientLeft)},
                      {"OffsetTop", std::to_string(look.clientTop)},
                      {"OffsetRight", std::to_string(look.clientRight)},
                      {"OffsetBottom", std::to_string(look.clientBottom)}});
    }
    if (!look.nonClient.empty()) {
      writer.Element(4, "NonClientParts", {{"Name", look.name}}, true);
      for (const NonClient& entry : look.nonClient) {
        std::vector<std::pair<std::string, std::string>> attributes = {{"Name", entry.part}};
        const std::pair<const char*, const std::optional<int>*> offsets[] = {{"OffsetLeft", &entry.dock.left},
                                                                             {"OffsetTop", &entry.dock.top},
                                                                             {"OffsetRight", &entry.dock.right},
                                                                             {"OffsetBottom", &entry.dock.bottom}};
        for (const auto& [name, offset] : offsets) {
          if (offset->has_value()) {
            attributes.emplace_back(name, std::to_string(**offset));
          }
        }
        if (entry.dock.width > 0) {
          attributes.emplace_back("Width", std::to_string(entry.dock.width));
        }
        if (entry.dock.height > 0) {
          attributes.emplace_back("Height", std::to_string(entry.dock.height));
        }
        writer.Element(5, "NonClientPart", attributes);
      }
      writer.Close(4, "NonClientParts");
    }
    if (look.text) {
      const Text& text = *look.text;
      writer.Element(4, "TextProperties",
                     {{"TextLeftRel", FloatText(text.leftRel)},
                      {"TextLeftAbs", std::to_string(text.leftAbs)},
                      {"TextRightRel", FloatText(text.rightRel)},
                      {"TextRightAbs", std::to_string(text.rightAbs)},
                      {"TextHAlign", FloatText(text.hAlign)},
                      {"TextTopRel", FloatText(text.topRel)},
                      {"TextTopAbs", std::to_string(text.topAbs)},
                      {"TextBottomRel", FloatText(text.bottomRel)},
                      {"TextBottomAbs", std::to_string(text.bottomAbs)},
                      {"TextVAlign", FloatText(text.vAlign)},
                      {"TextForegroundPart", text.part}});
    }
    writer.Close(3, "Look");
  }
  writer.Close(2, "Looks");

  writer.Open(2, "LookLists");
  for (const LookList& list : lookLists) {
    writer.Element(3, "LookList", {{"Name", list.name}, {"NumLooks", std::to_string(list.slots.size())}}, true);
    for (size_t slot = 0; slot < list.slots.size(); ++slot) {
      if (!list.slots[slot].empty()) {
        writer.Element(4, "Look", {{"Name", list.slots[slot]}, {"Index", std::to_string(slot)}});
      }
    }
    writer.Close(3, "LookList");
  }
  writer.Close(2, "LookLists");

  writer.Open(2, "Skins");
  for (const Skin& skin : skins) {
    writer.Element(
        3, "Skin",
        {{"Name", skin.name}, {"FontName", skin.fontName}, {"FontSize", skin.fontSize}, {"FontStyle", skin.fontStyle}},
        true);
    for (const Control& control : skin.controls) {
      WriteControl(writer, 4, control);
    }
    writer.Close(3, "Skin");
  }
  writer.Close(2, "Skins");

  writer.Close(1, "Application");
  writer.Close(0, "Vandrel_Skin_Definitions");
  return writer.Take();
}

} // namespace QZ::SkinArt

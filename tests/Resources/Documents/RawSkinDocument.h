#pragma once
// A skin document as written, read with Expat alone: every colorizer, part, look, look list
// and skin in document order, each control with its attributes, create params and look
// list; and every name used before (or without) its definition, which the skin loader
// would pass over silently.
//
//   const auto skin = QZTest::RawSkinDocument::Read(folder + "/Skins.xml");
//   for (const QZTest::RawControl& control : skin.skins[1].controls) { ... control.name ... }

#include <expat.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace QZTest {

using RawAttributes = std::map<std::string, std::string>;

struct RawControl {
  std::string className;
  std::string name;
  RawAttributes attributes;
  RawAttributes params;
  std::string lookList; // of its nested Skin; empty for none
  std::vector<RawControl> children;

  std::string Attribute(const std::string& key, const std::string& fallback = {}) const {
    const auto found = attributes.find(key);
    return found == attributes.end() ? fallback : found->second;
  }
  const RawControl* Child(const std::string& childName) const {
    for (const RawControl& child : children) {
      if (child.name == childName) {
        return &child;
      }
    }
    return nullptr;
  }
};

struct RawSkin {
  RawAttributes attributes;
  std::vector<RawControl> controls;

  const RawControl* Control(const std::string& name) const {
    for (const RawControl& control : controls) {
      if (control.name == name) {
        return &control;
      }
    }
    return nullptr;
  }
};

struct RawLook {
  std::string name;
  std::string clientPart;
  std::vector<std::string> nonClientParts;
  // Empty without TextProperties.
  std::string textPart;
};

struct RawLookList {
  std::string name;
  int count = 0;
  // Look name by slot.
  std::map<int, std::string> slots;
};

struct RawSkinDocument {
  // Empty when the document parsed; else Expat's text and line.
  std::string error;
  std::string encoding;
  std::string rootElement;
  std::string applicationName;
  std::vector<RawAttributes> colorizers;
  std::vector<RawAttributes> parts;
  std::vector<RawLook> looks;
  std::vector<RawLookList> lookLists;
  std::vector<RawSkin> skins;
  // "<kind> <name> (used by <user>)" for every use of a name not defined before it.
  std::vector<std::string> undefinedUses;
  // "<kind> <name>" for every name defined twice.
  std::vector<std::string> duplicates;

  const RawAttributes* Part(const std::string& name) const {
    for (const RawAttributes& part : parts) {
      if (part.at("Name") == name) {
        return &part;
      }
    }
    return nullptr;
  }
  // The look or look list of that name; an empty one, without a name, when there is none
  // (undefinedUses reports such a use).
  const RawLook& Look(const std::string& name) const {
    static const RawLook kNone;
    for (const RawLook& look : looks) {
      if (look.name == name) {
        return look;
      }
    }
    return kNone;
  }
  const RawLookList& LookList(const std::string& name) const {
    static const RawLookList kNone;
    for (const RawLookList& list : lookLists) {
      if (list.name == name) {
        return list;
      }
    }
    return kNone;
  }

  static RawSkinDocument Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    RawSkinDocument document;
    if (bytes.empty()) {
      document.error = "cannot read " + path;
      return document;
    }
    Reader reader(document);
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &reader);
    XML_SetXmlDeclHandler(parser, [](void* data, const XML_Char*, const XML_Char* encoding, int) {
      static_cast<Reader*>(data)->document.encoding = encoding ? encoding : "";
    });
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* element, const XML_Char** attributes) {
          RawAttributes map;
          for (int i = 0; attributes[i]; i += 2) {
            map[attributes[i]] = attributes[i + 1];
          }
          static_cast<Reader*>(data)->Start(element, map);
        },
        [](void* data, const XML_Char* element) { static_cast<Reader*>(data)->End(element); });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* text, int length) {
      Reader& open = *static_cast<Reader*>(data);
      if (open.param) {
        *open.param += std::string(text, size_t(length));
      }
    });
    if (XML_Parse(parser, bytes.data(), int(bytes.size()), 1) == XML_STATUS_ERROR) {
      document.error = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
                       std::to_string(XML_GetCurrentLineNumber(parser));
    }
    XML_ParserFree(parser);
    return document;
  }

private:
  struct Reader {
    explicit Reader(RawSkinDocument& target) : document(target) {}

    RawSkinDocument& document;
    std::set<std::string> colorizers, parts, looks, lookLists;
    bool insideLooks = false;
    // The open controls, innermost last; their Skin is not counted.
    std::vector<RawControl*> controls;
    RawLook* look = nullptr;
    RawLookList* lookList = nullptr;
    std::string* param = nullptr;
    std::vector<std::string> open;

    void Use(const std::set<std::string>& defined, const char* kind, const std::string& name, const std::string& user) {
      if (!defined.contains(name)) {
        document.undefinedUses.push_back(std::string(kind) + " " + name + " (used by " + user + ")");
      }
    }
    void Define(std::set<std::string>& defined, const char* kind, const std::string& name) {
      if (!defined.insert(name).second) {
        document.duplicates.push_back(std::string(kind) + " " + name);
      }
    }

    void Start(const std::string& element, const RawAttributes& attributes) {
      const auto value = [&](const char* key) {
        const auto found = attributes.find(key);
        return found == attributes.end() ? std::string() : found->second;
      };
      open.push_back(element);
      if (open.size() == 1) {
        document.rootElement = element;
      } else if (element == "Application") {
        document.applicationName = value("Name");
      } else if (element == "Colorizer") {
        Define(colorizers, "colorizer", value("Name"));
        document.colorizers.push_back(attributes);
      } else if (element == "Part") {
        Define(parts, "part", value("Name"));
        if (attributes.contains("ColorizerName")) {
          Use(colorizers, "colorizer", value("ColorizerName"), "part " + value("Name"));
        }
        document.parts.push_back(attributes);
      } else if (element == "Looks") {
        insideLooks = true;
      } else if (element == "Look" && insideLooks) {
        Define(looks, "look", value("Name"));
        document.looks.push_back({value("Name"), {}, {}, {}});
        look = &document.looks.back();
      } else if (element == "ClientPart" && look) {
        Use(parts, "part", value("Name"), "look " + look->name);
        look->clientPart = value("Name");
      } else if (element == "NonClientPart" && look) {
        Use(parts, "part", value("Name"), "look " + look->name);
        look->nonClientParts.push_back(value("Name"));
      } else if (element == "TextProperties" && look) {
        Use(parts, "part", value("TextForegroundPart"), "look " + look->name);
        look->textPart = value("TextForegroundPart");
      } else if (element == "LookList") {
        Define(lookLists, "look list", value("Name"));
        document.lookLists.push_back({value("Name"), std::stoi(value("NumLooks")), {}});
        lookList = &document.lookLists.back();
      } else if (element == "Look" && lookList) {
        Use(looks, "look", value("Name"), "look list " + lookList->name);
        lookList->slots[std::stoi(value("Index"))] = value("Name");
      } else if (element == "Skin" && controls.empty()) {
        document.skins.push_back({attributes, {}});
      } else if (element == "Skin") {
        if (attributes.contains("LookList")) {
          Use(lookLists, "look list", value("LookList"), "control " + controls.back()->name);
          controls.back()->lookList = value("LookList");
        }
      } else if (element == "SubControl") {
        RawControl control{value("Class"), value("Name"), attributes, {}, {}, {}};
        control.attributes.erase("Class");
        control.attributes.erase("Name");
        std::vector<RawControl>& siblings =
            controls.empty() ? document.skins.back().controls : controls.back()->children;
        siblings.push_back(control);
        controls.push_back(&siblings.back());
      } else if (element == "CreateParam" && !controls.empty()) {
        param = &controls.back()->params[value("ID")];
      }
    }

    void End(const std::string& element) {
      open.pop_back();
      if (element == "Looks") {
        insideLooks = false;
        look = nullptr;
      } else if (element == "SubControl") {
        controls.pop_back();
      } else if (element == "CreateParam") {
        param = nullptr;
      }
    }
  };
};

// Calls visit(control, parent class) for every control of a skin, parents first; a
// top-level control's parent class is the application name.
inline void ForEachControl(const std::vector<RawControl>& controls, const std::string& parentClass,
                           const std::function<void(const RawControl&, const std::string&)>& visit) {
  for (const RawControl& control : controls) {
    visit(control, parentClass);
    ForEachControl(control.children, control.className, visit);
  }
}

} // namespace QZTest

#pragma once
// A string-table document as written, read with Expat alone: every StringTable, String and
// Locale element in document order, repeats included, so that the checks see what the
// loader would merge away (it extends a repeated table and appends a repeated string's
// text to the first).

#include <expat.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace QZTest {

struct RawLocale {
  std::string lcid;
  std::string text;
};

struct RawString {
  std::string id;
  std::vector<RawLocale> locales;
};

struct RawStringTable {
  std::string id;
  std::vector<RawString> strings;
};

struct RawStringTableDocument {
  // Empty when the document parsed; else Expat's text and line.
  std::string error;
  // From the XML declaration.
  std::string encoding;
  std::string rootElement;
  std::string applicationName;
  std::vector<RawStringTable> tables;

  static RawStringTableDocument Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    RawStringTableDocument document;
    if (bytes.empty()) {
      document.error = "cannot read " + path;
      return document;
    }
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &document);
    XML_SetXmlDeclHandler(parser, &OnDeclaration);
    XML_SetElementHandler(parser, &OnStart, &OnEnd);
    XML_SetCharacterDataHandler(parser, &OnText);
    if (XML_Parse(parser, bytes.data(), int(bytes.size()), XML_TRUE) != XML_STATUS_OK) {
      document.error = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
                       std::to_string(XML_GetCurrentLineNumber(parser));
    }
    XML_ParserFree(parser);
    return document;
  }

private:
  static std::string Attribute(const XML_Char** attributes, const char* name) {
    for (; attributes[0]; attributes += 2) {
      if (std::string(attributes[0]) == name) {
        return attributes[1];
      }
    }
    return {};
  }

  static void XMLCALL OnDeclaration(void* data, const XML_Char*, const XML_Char* encoding, int) {
    static_cast<RawStringTableDocument*>(data)->encoding = encoding ? encoding : "";
  }

  static void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& document = *static_cast<RawStringTableDocument*>(data);
    const std::string element = name;
    document.mCollecting = false;
    if (document.rootElement.empty()) {
      document.rootElement = element;
    } else if (element == "Application") {
      document.applicationName = Attribute(attributes, "Name");
    } else if (element == "StringTable") {
      document.tables.push_back({Attribute(attributes, "ID"), {}});
    } else if (element == "String" && !document.tables.empty()) {
      document.tables.back().strings.push_back({Attribute(attributes, "ID"), {}});
    } else if (element == "Locale" && !document.tables.empty() && !document.tables.back().strings.empty()) {
      document.tables.back().strings.back().locales.push_back({Attribute(attributes, "LCID"), {}});
      document.mCollecting = true;
    }
  }

  static void XMLCALL OnEnd(void* data, const XML_Char*) {
    static_cast<RawStringTableDocument*>(data)->mCollecting = false;
  }

  static void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    auto& document = *static_cast<RawStringTableDocument*>(data);
    if (document.mCollecting) {
      document.tables.back().strings.back().locales.back().text.append(text, size_t(length));
    }
  }

  bool mCollecting = false;
};

} // namespace QZTest

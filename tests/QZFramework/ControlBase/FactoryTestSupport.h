#pragma once
// Documents for the control factory's tests: the fixtures under Data (compiled in as
// resources and read as files), documents held in memory as a resource table, and a
// wrapper that makes a skin document of a few elements.

#include <deque>
#include <string>
#include <vector>

#include "Platform/Resources/Resources.h"
#include "QZFramework/ControlBase/ControlFactory.h"

namespace QZTest {

std::span<const QZ::Platform::Resources::Resource> ControlBaseDocuments();

// The folder of the fixtures, and its documents compiled into the test program.
inline QZ::WString FixtureFolder() { return QZ::WString(QZ_CONTROL_BASE_TEST_DATA); }
inline QZ::Platform::Resources::Module FixtureDocuments() {
  return QZ::Platform::Resources::Module(ControlBaseDocuments());
}

// Resources made in the test: the table lives as long as this object and grows with Add.
class InMemoryDocuments {
public:
  InMemoryDocuments& Add(const std::string& name, const std::string& bytes, const std::string& type = "QZXML") {
    const std::string& storedName = mStorage.emplace_back(name);
    const std::string& storedType = mStorage.emplace_back(type);
    const std::string& storedBytes = mStorage.emplace_back(bytes);
    mTable.push_back(
        {storedType, storedName, {reinterpret_cast<const uint8_t*>(storedBytes.data()), storedBytes.size()}});
    return *this;
  }
  QZ::Platform::Resources::Module Module() const { return QZ::Platform::Resources::Module(mTable); }

private:
  std::deque<std::string> mStorage;
  std::vector<QZ::Platform::Resources::Resource> mTable;
};

// A skin document: body inside the root and the application "PresetEditor".
inline std::string SkinDocument(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Vandrel_Skin_Definitions>\n"
         "<Application Name=\"PresetEditor\">\n" +
         body + "\n</Application>\n</Vandrel_Skin_Definitions>\n";
}

// A string-table document with the given tables (StringTable elements).
inline std::string StringTableDocument(const std::string& tables) {
  return "<Vandrel_StringTable_Definitions><Application Name=\"PresetEditor\">" + tables +
         "</Application></Vandrel_StringTable_Definitions>";
}

// A factory that has read document as its skin (from memory). Its resources are gone
// afterwards: it must not fetch "::" documents again.
inline QZ::RCPtr<QZ::LControlFactory> LoadSkinText(const std::string& document, QZ::QZResult* result = nullptr) {
  InMemoryDocuments documents;
  documents.Add("APP_SKINS", document);
  QZ::RCPtr<QZ::LControlFactory> factory(new QZ::LControlFactory(documents.Module()));
  const QZ::QZResult loaded = factory->LoadSkins(u"::APP_SKINS");
  if (result) {
    *result = loaded;
  }
  return factory;
}

} // namespace QZTest

#pragma once
// QZ::Version: the string values of the program's version resource (its company, product
// and version), asked one at a time:
//
//   QZ::WString company = QZ::Version().GetCompanyName();                  // "Vandrel"
//   QZ::WString copyright = QZ::Version().GetStringFileInfo("LegalCopyright");
//
// The resource is compiled into the program (cmake/QZVersion.cmake). The constructor
// reads it in the steps of a Windows version resource, from a VersionResourceSource;
// each step may fail (a test's source makes them fail) with an error code that the
// constructor raises as QZ::Exception<std::runtime_error>, "Runtime Error : " +
// FormatErrorText(code) + " : QZ::Version::Version : Application/Version : Line " + n:
//   903 (line 148) the module's file name is not known
//   902 (line 143) the module has no version data
//   901 (line 133) the version data cannot be read
//   900 (line 128) the data has no translation table
// Of the resource's translations the first whose primary language (id & 0x3FF) is the
// user's default language's is chosen, else the system's, else English (9), else the
// first; its string table answers the getters.
//
// A Version belongs to one thread; sources are called on it.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "QZFramework/Application/VersionResource.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

// Where a Version reads from: the program's own resource, in the steps of the Windows
// version functions. Tests derive from it to fail a step.
class VersionResourceSource {
public:
  virtual ~VersionResourceSource() = default;

  // The module's file path; empty when it is not known.
  virtual std::u16string GetModuleFileName() const;
  // The size in bytes of the version data of the module of that file name; 0 when it
  // has none.
  virtual uint32_t GetVersionInfoSize(std::u16string_view fileName) const;
  // Fills data with the version data; false when it cannot be read.
  virtual bool GetVersionInfo(std::u16string_view fileName, VersionResource& data) const;
  // The user's and the system's default language ids: both the session's message
  // language (GetUserDefaultLanguageId) here.
  virtual uint16_t GetUserDefaultLangId() const;
  virtual uint16_t GetSystemDefaultLangId() const;
};

class Version {
public:
  // The program's own resource.
  Version();
  explicit Version(const VersionResourceSource& source);
  ~Version();
  Version(const Version&) = delete;
  Version& operator=(const Version&) = delete;

  // "CompanyName", "ProductName", "ProductVersion"; empty when missing.
  WString GetCompanyName() const { return GetStringFileInfo("CompanyName"); }
  WString GetProductName() const { return GetStringFileInfo("ProductName"); }
  WString GetProductVersion() const { return GetStringFileInfo("ProductVersion"); }
  // The value of the chosen translation's string table; empty when it has none.
  WString GetStringFileInfo(std::string_view name) const;

private:
  std::unique_ptr<VersionResource> mData;
  VersionTranslation mTranslation;
};

} // namespace QZ

#pragma once
// QZ::LFontFileInfo: one font family found among the installed font files, with the
// file (and face of a collection) of each of its four styles; and the process-wide
// list of families that the font scan fills and that fonts are looked up in.
//
//   QZ::LFontFileInfo::ScanFontFolders(QZ::LFontFileInfo::GetSystemFontFolders());
//   uint32_t faceId = QZ::LFontFileInfo::GetFileID(*font);     // family index x 4 + style
//   QZ::WString path = QZ::LFontFileInfo::GetFilePath(faceId);
//
// The scan lists the ".ttf" files of the folders and all their subfolders, then the
// ".ttc" files (extensions of any case), reads each face's family and style names and
// enters the face's file under its family and style: "regular", "bold", "italic" and
// "bold italic" (of any case) are the styles 0 to 3, "oblique" and "bold oblique" are
// italic and bold italic; a later file of the same family and style replaces an earlier
// one. A face of any other style name ("Book", "Medium", "Condensed" ...) fills the
// regular slot only while it is empty, so it never displaces the upright face.
// Unreadable or damaged files are skipped.
//
// A font is looked up by its face name (case-sensitive), else by the default face name
// (the desktop's sans-serif family unless SetDefaultFaceNameSource says otherwise); the
// family found is remembered for the font. A missing style falls back to another of the
// family, which is then remembered as that style's file.
//
// The list and the map belong to the main thread; nothing is locked.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LFontFileInfo : public virtual LRefCountedObject {
public:
  // A face: its file and its number within the file (0 unless the file is a collection).
  struct FontFile {
    WString path;
    int32_t faceIndex = 0;
  };

  LFontFileInfo(const WString& familyName, int32_t index) : mFamilyName(familyName), mIndex(index) {}

  const WString& GetFamilyName() const { return mFamilyName; }
  // The family's position in the list.
  int32_t GetIndex() const { return mIndex; }
  // The face of a style (0 to 3); an empty path when the family has none.
  const FontFile& GetFile(int32_t style) const { return mFiles[size_t(style & 3)]; }
  void SetFile(int32_t style, const FontFile& file) { mFiles[size_t(style & 3)] = file; }

  // Empties the list and the map, then scans the folders (UTF-8 paths).
  static void ScanFontFolders(const std::vector<std::string>& folders);
  // Reads one font file and enters its named faces.
  static void RegisterFontFile(const WString& path);
  // Empties the list and the map.
  static void Clear();
  // The families found, in order of discovery.
  static const RCPtrArray<LFontFileInfo>& GetFontFiles();

  // The font folders fontconfig is configured with (UTF-8 paths).
  static std::vector<std::string> GetSystemFontFolders();

  // Gives the face name looked up when a font's own is not installed; an empty source
  // restores the default, fontconfig's sans-serif family.
  using DefaultFaceNameSource = std::function<WString()>;
  static void SetDefaultFaceNameSource(DefaultFaceNameSource source);

  // The face id of the font: family index x 4 + the font's style. Throws Runtime Error
  // when neither the font's family nor the default one is in the list.
  static uint32_t GetFileID(const LFont& font);
  // The file of a face id; empty when the id names no family.
  static WString GetFilePath(uint32_t faceId);
  // The face within that file; 0 when the id names no family.
  static int32_t GetFaceIndex(uint32_t faceId);

private:
  WString mFamilyName;
  std::array<FontFile, 4> mFiles;
  int32_t mIndex;
};

} // namespace QZ

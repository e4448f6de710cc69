#include "QZFramework/Renderer/FontRenderer/FontFileInfo.h"

#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <set>
#include <stdexcept>
#include <system_error>

#include "Platform/Graphics/Font.h"
#include "QZFramework/Renderer/FontRenderer/FontNameTable.h"
#include "QZFramework/Utilities/Storage/Array.h"
#include "QZFramework/Utilities/Storage/RCPtrMap.h"

namespace QZ {

namespace {

struct FontFileState {
  RCPtrArray<LFontFileInfo> families;
  RCPtrMap<LFont, LFontFileInfo, 8> fonts;
  LFontFileInfo::DefaultFaceNameSource defaultFaceName;
};

FontFileState& State() {
  static FontFileState state;
  return state;
}

WString SansSerifFaceName() {
  const auto family = Platform::Graphics::FontFamily::GenericSansSerif();
  return family ? WString(family->Name().c_str()) : WString();
}

// The styles tried for each style, in order, when its own file is missing.
constexpr int32_t kStyleFallbacks[4][4] = {
    {LFont::kRegular, LFont::kBold, LFont::kItalic, LFont::kBoldItalic},
    {LFont::kBold, LFont::kBoldItalic, LFont::kRegular, LFont::kItalic},
    {LFont::kItalic, LFont::kBoldItalic, LFont::kRegular, LFont::kBold},
    {LFont::kBoldItalic, LFont::kBold, LFont::kItalic, LFont::kRegular},
};

// A style name that is none of the words below (Book, Medium, Condensed ...).
constexpr int32_t kOtherStyle = -1;

// Oblique is how several families name their slanted faces.
int32_t StyleOfName(const WString& styleName) {
  const WString lower = styleName.ToLower();
  if (lower == u"regular") {
    return LFont::kRegular;
  }
  if (lower == u"bold") {
    return LFont::kBold;
  }
  if (lower == u"italic" || lower == u"oblique") {
    return LFont::kItalic;
  }
  if (lower == u"bold italic" || lower == u"bold oblique") {
    return LFont::kBoldItalic;
  }
  return kOtherStyle;
}

// The family named exactly name, searching from the newest; null when none.
LFontFileInfo* FindFamily(const WString& name) {
  RCPtrArray<LFontFileInfo>& families = State().families;
  for (uint32_t i = families.GetCount(); i-- > 0;) {
    LFontFileInfo* family = families.GetAt(i).Get();
    if (family->GetFamilyName() == name) {
      return family;
    }
  }
  return nullptr;
}

// The folders and every folder below them, each once, in the order met.
std::vector<std::filesystem::path> FoldersBelow(const std::vector<std::string>& roots) {
  namespace fs = std::filesystem;
  std::vector<fs::path> folders;
  std::set<fs::path> seen;
  const auto add = [&](const fs::path& folder) {
    std::error_code error;
    const fs::path canonical = fs::canonical(folder, error);
    if (!error && seen.insert(canonical).second) {
      folders.push_back(folder);
    }
  };
  for (const std::string& root : roots) {
    std::error_code error;
    if (!fs::is_directory(root, error)) {
      continue;
    }
    add(root);
    for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
      std::error_code typeError;
      if (it->is_directory(typeError)) {
        add(it->path());
      }
    }
  }
  return folders;
}

} // namespace

const RCPtrArray<LFontFileInfo>& LFontFileInfo::GetFontFiles() { return State().families; }

void LFontFileInfo::Clear() {
  State().fonts.RemoveAll();
  State().families.RemoveAll();
}

void LFontFileInfo::ScanFontFolders(const std::vector<std::string>& folders) {
  Clear();
  const std::vector<std::filesystem::path> all = FoldersBelow(folders);
  for (const char16_t* pattern : {u"*.ttf", u"*.ttc"}) {
    for (const std::filesystem::path& folder : all) {
      Array<WString> files;
      File::ListFiles(WString(folder.string().c_str()), WString(pattern), files);
      for (uint32_t i = 0; i < files.GetCount(); ++i) {
        RegisterFontFile(files.GetAt(i));
      }
    }
  }
}

void LFontFileInfo::RegisterFontFile(const WString& path) {
  FontFileBytes bytes(path);
  for (const FontFaceName& face : ReadFontFaceNames(bytes)) {
    LFontFileInfo* family = FindFamily(face.family);
    if (!family) {
      RCPtrArray<LFontFileInfo>& families = State().families;
      // Grows or throws.
      families.AddItem(RCPtr<LFontFileInfo>(new LFontFileInfo(face.family, int32_t(families.GetCount()))));
      family = families.GetAt(families.GetCount() - 1).Get();
    }
    const int32_t style = StyleOfName(face.style);
    if (style != kOtherStyle) {
      family->SetFile(style, {path, face.faceIndex});
    } else if (family->GetFile(LFont::kRegular).path.IsEmpty()) {
      // A face of another style stands in for the regular one until one is found.
      family->SetFile(LFont::kRegular, {path, face.faceIndex});
    }
  }
}

std::vector<std::string> LFontFileInfo::GetSystemFontFolders() {
  std::vector<std::string> folders;
  FcStrList* list = FcConfigGetFontDirs(FcConfigGetCurrent());
  if (!list) {
    return folders;
  }
  while (const FcChar8* folder = FcStrListNext(list)) {
    folders.emplace_back(reinterpret_cast<const char*>(folder));
  }
  FcStrListDone(list);
  return folders;
}

void LFontFileInfo::SetDefaultFaceNameSource(DefaultFaceNameSource source) {
  State().defaultFaceName = std::move(source);
}

uint32_t LFontFileInfo::GetFileID(const LFont& font) {
  FontFileState& state = State();
  const ConstRCPtr<LFont> key(&font);
  RCPtr<LFontFileInfo> family = state.fonts.Find(key);
  if (!family) {
    LFontFileInfo* found = FindFamily(font.GetFaceName());
    if (!found) {
      found = FindFamily(state.defaultFaceName ? state.defaultFaceName() : SansSerifFaceName());
    }
    if (!found) {
      Throw<std::runtime_error>({"QZ::LFontFileInfo::GetFileID", R"(Renderer\FontRenderer\FontFileInfo)", 469});
    }
    family = RCPtr<LFontFileInfo>(found);
    state.fonts.SetItem(key, family);
  }
  const int32_t style = font.GetStyle() & 3;
  if (family->mFiles[size_t(style)].path.IsEmpty()) {
    for (int32_t fallback : kStyleFallbacks[style]) {
      if (!family->mFiles[size_t(fallback)].path.IsEmpty()) {
        family->mFiles[size_t(style)] = family->mFiles[size_t(fallback)];
        break;
      }
    }
  }
  return uint32_t(family->mIndex) * 4 + uint32_t(style);
}

WString LFontFileInfo::GetFilePath(uint32_t faceId) {
  const RCPtrArray<LFontFileInfo>& families = State().families;
  return faceId / 4 < families.GetCount() ? families.GetAt(faceId / 4)->GetFile(int32_t(faceId % 4)).path : WString();
}

int32_t LFontFileInfo::GetFaceIndex(uint32_t faceId) {
  const RCPtrArray<LFontFileInfo>& families = State().families;
  return faceId / 4 < families.GetCount() ? families.GetAt(faceId / 4)->GetFile(int32_t(faceId % 4)).faceIndex : 0;
}

} // namespace QZ

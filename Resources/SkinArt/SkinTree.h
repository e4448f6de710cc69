#pragma once
// The editor's skin document: the looks of both scales (SkinLooks.h) and the two skins'
// control trees, "HighDPI" (index 0, the 2x images) and "Skin1" (index 1), laid out once
// in 1x pixels and doubled for "HighDPI".
//
//   const std::string xml = BuildSkinDocument().Write();   // Resources/Documents/Skins.xml

#include "Resources/SkinArt/SkinDocument.h"

namespace QZ::SkinArt {

SkinDocument BuildSkinDocument();

} // namespace QZ::SkinArt

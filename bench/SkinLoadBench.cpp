// Reading a skin of about 1 MB (colorizers, parts, looks, look lists and two skins of
// nested controls with layouts, fonts and create params) from an in-memory resource into
// the control factory's descriptors, against Expat parsing the same bytes with handlers
// that do nothing: the least any reader built on it can cost. And a skin with 25 times the
// colorizers, parts, looks and look lists (about 100,000 elements, 8 MB) against the first:
// reading in time linear in the size keeps the bytes per second; "heap_per_byte" is the
// memory the descriptors hold per byte read.

#include <expat.h>

#include <malloc.h>

#include <cstdlib>
#include <map>
#include <string>

#include "QZFramework/ControlBase/ControlFactory.h"
#include "Support/RatioReporter.h"

namespace {

std::string Number(int value) { return std::to_string(value); }

void AppendControls(std::string& out, int depth, int& serial) {
  for (int i = 0; i < 5; ++i) {
    const std::string n = Number(serial++);
    out += R"(<SubControl Class="Framework.Button" Name="control)" + n + R"(" LayoutOrder=")" + Number(i % 3) +
           R"(" TabStop=")" + Number(-i) + R"(" XPositionToControl="Client" XPositionRel="0.25" XPositionAbs="12")" +
           R"( YPositionToControl="previous" YPositionAbs="4" XSizeToControl="Self" XSizeAbs="120")" +
           R"( YSizeToControl="Parent" YSizeRel="0.5" YSizeAbs="-8" XMinSizeToControl="Self" XMinSizeAbs="40")" +
           R"( XPlacementAnchor="0.5" TextOverflowXType="Expand" FontName="Arial" FontSize="8.25" FontStyle="0x1">)";
    out += R"(<CreateParamList><CreateParam ID="LABEL" Type="String">Label )" + n +
           R"(</CreateParam><CreateParam ID="TOOLTIP" Type="String">Tip &amp; text )" + n +
           R"(</CreateParam><CreateParam ID="INITIAL_VALUE" Type="Integer">1</CreateParam></CreateParamList>)";
    out += R"(<Skin Name="skin)" + n + R"(" LookList="list)" + Number(serial % 100) + R"(">)";
    if (depth > 0) {
      AppendControls(out, depth - 1, serial);
    }
    out += "</Skin></SubControl>\n";
  }
}

std::string SkinDocument(int scale = 1) {
  const int colorizers = 50 * scale;
  const int parts = 400 * scale;
  const int looks = 300 * scale;
  const int lists = 100 * scale;
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Vandrel_Skin_Definitions>\n"
                    "<Application Name=\"PresetEditor\">\n<Colorizers>\n";
  for (int i = 0; i < colorizers; ++i) {
    out += R"(<Colorizer Name="colorizer)" + Number(i) + R"(" ColorType="SolidFill" Color="FF10)" +
           Number(10 + i % 90) + "40\"/>\n";
  }
  out += "</Colorizers>\n<Parts>\n";
  for (int i = 0; i < parts; ++i) {
    if (i % 2 == 0) {
      out += R"(<Part Name="part)" + Number(i) +
             R"(" Width="16" Height="16" ResizeType="Stretch" ImageFile="Buttons_)" + Number(i % 20) +
             R"(.png" ImageLocX=")" + Number(i % 16 * 16) + R"(" ImageLocY="0"/>)" + "\n";
    } else {
      out += R"(<Part Name="part)" + Number(i) +
             R"(" Width="4" Height="4" ResizeType="Tile" ColorizerName="colorizer)" + Number(i % colorizers) +
             R"(" ColorizerAlphaMod="0.8"/>)" + "\n";
    }
  }
  out += "</Parts>\n<Looks>\n";
  for (int i = 0; i < looks; ++i) {
    out += R"(<Look Name="look)" + Number(i) + R"("><ClientPart Name="part)" + Number(i % parts) +
           R"(" OffsetLeft="2" OffsetTop="2" OffsetRight="-2" OffsetBottom="-2"/><NonClientParts Name="frame">)";
    for (int edge = 0; edge < 4; ++edge) {
      out += R"(<NonClientPart Name="part)" + Number((i + edge) % parts) +
             R"(" OffsetLeft="0" OffsetTop="0" Height="2"/>)";
    }
    out += R"(</NonClientParts><TextProperties TextLeftRel="0" TextLeftAbs="4" TextRightRel="1" TextRightAbs="-4")"
           R"( TextHAlign="0.5" TextTopRel="0" TextTopAbs="0" TextBottomRel="1" TextBottomAbs="0" TextVAlign="0.5")"
           R"( TextForegroundPart="part1"/></Look>)"
           "\n";
  }
  out += "</Looks>\n<LookLists>\n";
  for (int i = 0; i < lists; ++i) {
    out += R"(<LookList Name="list)" + Number(i) + R"(" NumLooks="7">)";
    for (int slot = 0; slot < 7; ++slot) {
      out += R"(<Look Name="look)" + Number((i + slot) % looks) + R"(" Index=")" + Number(slot) + "\"/>";
    }
    out += "</LookList>\n";
  }
  out += "</LookLists>\n<Skins>\n";
  int serial = 0;
  for (const char* skin : {"HighDPI", "Skin1"}) {
    out += std::string(R"(<Skin Name=")") + skin + R"(" FontName="Arial" FontSize="8.25">)" + "\n";
    AppendControls(out, 3, serial);
    out += "</Skin>\n";
  }
  out += "</Skins>\n</Application>\n</Vandrel_Skin_Definitions>\n";
  return out;
}

// glibc merges the small blocks a release freed only at the next large request, which
// would be the next reading's first: made here, that cost stays with the release.
void SettleFreedBlocks() {
  void* block = std::malloc(64 * 1024);
  benchmark::DoNotOptimize(block);
  std::free(block);
}

const std::string& Document() {
  static const std::string document = SkinDocument();
  return document;
}

void XMLCALL IgnoreStart(void*, const XML_Char*, const XML_Char**) {}
void XMLCALL IgnoreEnd(void*, const XML_Char*) {}
void XMLCALL IgnoreText(void*, const XML_Char*, int) {}

void BM_ExpatRawParse(benchmark::State& state) {
  const std::string& document = Document();
  for (auto _ : state) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetElementHandler(parser, IgnoreStart, IgnoreEnd);
    XML_SetCharacterDataHandler(parser, IgnoreText);
    const XML_Status status = XML_Parse(parser, document.data(), int(document.size()), XML_TRUE);
    if (status != XML_STATUS_OK) {
      state.SkipWithError("the generated skin does not parse");
    }
    XML_ParserFree(parser);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(document.size()));
}
BENCHMARK(BM_ExpatRawParse)->Unit(benchmark::kMillisecond);

void BM_LoadSkins(benchmark::State& state) {
  const std::string& document = Document();
  const QZ::Platform::Resources::Resource resources[] = {
      {"QZXML", "APP_SKINS", {reinterpret_cast<const uint8_t*>(document.data()), document.size()}}};
  for (auto _ : state) {
    QZ::RCPtr<QZ::LControlFactory> factory(new QZ::LControlFactory(QZ::Platform::Resources::Module(resources)));
    if (factory->LoadSkins(u"::APP_SKINS") != QZ::QZ_OK || factory->GetSkinCount() != 2) {
      state.SkipWithError("the generated skin does not load");
    }
    benchmark::DoNotOptimize(factory.Get());
    state.PauseTiming(); // releasing the descriptors is not part of reading them
    factory = nullptr;
    SettleFreedBlocks();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(document.size()));
  state.counters["bytes"] = double(document.size());
}
BENCHMARK(BM_LoadSkins)->Unit(benchmark::kMillisecond);

void BM_LoadSkinsScaled(benchmark::State& state) {
  static std::map<int64_t, std::string> documents;
  auto found = documents.find(state.range(0));
  if (found == documents.end()) {
    found = documents.emplace(state.range(0), SkinDocument(int(state.range(0)))).first;
  }
  const std::string& document = found->second;
  const QZ::Platform::Resources::Resource resources[] = {
      {"QZXML", "APP_SKINS", {reinterpret_cast<const uint8_t*>(document.data()), document.size()}}};
  double heap = 0.0;
  for (auto _ : state) {
    const size_t before = mallinfo2().uordblks;
    QZ::RCPtr<QZ::LControlFactory> factory(new QZ::LControlFactory(QZ::Platform::Resources::Module(resources)));
    if (factory->LoadSkins(u"::APP_SKINS") != QZ::QZ_OK) {
      state.SkipWithError("the generated skin does not load");
    }
    heap = double(mallinfo2().uordblks - before);
    state.PauseTiming(); // releasing the descriptors is not part of reading them
    factory = nullptr;
    SettleFreedBlocks();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(document.size()));
  state.counters["bytes"] = double(document.size());
  state.counters["heap_per_byte"] = heap / double(document.size());
}
BENCHMARK(BM_LoadSkinsScaled)->Arg(1)->Arg(25)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(
      argc, argv, {{"BM_LoadSkins", "BM_ExpatRawParse"}, {"BM_LoadSkinsScaled/25", "BM_LoadSkinsScaled/1"}});
}

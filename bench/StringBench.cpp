// Formatting, search and UTF-16 <-> UTF-8 conversion of typical editor strings (labels,
// parameter names, preset file paths) against std::string / std::u16string, snprintf
// and the standard library's UTF-8 <-> UTF-16 facet doing the same work. The searches
// both give the index of the first occurrence by 16-bit unit, or "absent".

#include <codecvt>
#include <cstdio>
#include <locale>
#include <string>
#include <vector>

#include "QZFramework/Utilities/Storage/StringT.h"
#include "Support/RatioReporter.h"

namespace {

const std::vector<std::u16string> kTexts = {
    u"Pad 12 Note",
    u"Knob 3 CC",
    u"Arpeggiator Gate",
    u"Größe der Anschlagdynamik",
    u"ベースのチャンネル",
    u"/home/user/.config/Vandrel/Quorin 49 ZTR/Presets/Live Set 2024/Bass Split.QuorinZTRPreset",
    u"/usr/share/Vandrel/Quorin Preset Editor/Skins/Default/Images/2X/KnobTrack_Selected.png",
};

std::vector<std::string> Utf8Texts() {
  std::vector<std::string> texts;
  for (const std::u16string& text : kTexts) {
    texts.emplace_back(QZ::WString(text.c_str()).ToUTF8().GetBuffer());
  }
  return texts;
}

// The standard facet is deprecated but still the library's own UTF-16 <-> UTF-8 converter.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
using StdConverter = std::wstring_convert<std::codecvt_utf8_utf16<char16_t>, char16_t>;
#pragma GCC diagnostic pop

void BM_WStringFormat(benchmark::State& state) {
  std::vector<QZ::WString> names;
  for (const std::u16string& text : kTexts) {
    names.emplace_back(text.c_str());
  }
  int32_t value = -1;
  for (auto _ : state) {
    for (const QZ::WString& name : names) {
      QZ::WString label = QZ::WString::Format(u"CH: %s", name);
      QZ::WString number = QZ::WString::Format(u"%I32d (0x%02X)", value, value);
      QZ::WString pad = QZ::WString::Format(u"Bank %d, Pad %d", value & 3, value & 15);
      benchmark::DoNotOptimize(label);
      benchmark::DoNotOptimize(number);
      benchmark::DoNotOptimize(pad);
      ++value;
    }
  }
}
BENCHMARK(BM_WStringFormat);

void BM_SnprintfFormat(benchmark::State& state) {
  const std::vector<std::string> names = Utf8Texts();
  int32_t value = -1;
  char buffer[512];
  for (auto _ : state) {
    for (const std::string& name : names) {
      std::snprintf(buffer, sizeof buffer, "CH: %s", name.c_str());
      std::string label(buffer);
      std::snprintf(buffer, sizeof buffer, "%d (0x%02X)", value, unsigned(value));
      std::string number(buffer);
      std::snprintf(buffer, sizeof buffer, "Bank %d, Pad %d", value & 3, value & 15);
      std::string pad(buffer);
      benchmark::DoNotOptimize(label);
      benchmark::DoNotOptimize(number);
      benchmark::DoNotOptimize(pad);
      ++value;
    }
  }
}
BENCHMARK(BM_SnprintfFormat);

void BM_WStringFormatReal(benchmark::State& state) {
  double value = 0.125;
  for (auto _ : state) {
    QZ::WString text = QZ::WString::Format(u"ValueParam = %lf", value);
    benchmark::DoNotOptimize(text);
    value += 1.0 / 3;
  }
}
BENCHMARK(BM_WStringFormatReal);

void BM_SnprintfFormatReal(benchmark::State& state) {
  double value = 0.125;
  char buffer[512];
  for (auto _ : state) {
    std::snprintf(buffer, sizeof buffer, "ValueParam = %lf", value);
    std::string text(buffer);
    benchmark::DoNotOptimize(text);
    value += 1.0 / 3;
  }
}
BENCHMARK(BM_SnprintfFormatReal);

const char16_t* const kNeedles[] = {u"Preset", u"ZTR", u".png", u"Anschlag", u"missing part"};

void BM_WStringFind(benchmark::State& state) {
  std::vector<QZ::WString> texts;
  for (const std::u16string& text : kTexts) {
    texts.emplace_back(text.c_str());
  }
  std::vector<QZ::WString> needles(std::begin(kNeedles), std::end(kNeedles));
  for (auto _ : state) {
    for (const QZ::WString& text : texts) {
      for (const QZ::WString& needle : needles) {
        benchmark::DoNotOptimize(text.Find(needle));
      }
    }
  }
}
BENCHMARK(BM_WStringFind);

void BM_U16StringFind(benchmark::State& state) {
  const std::vector<std::u16string> needles(std::begin(kNeedles), std::end(kNeedles));
  for (auto _ : state) {
    for (const std::u16string& text : kTexts) {
      for (const std::u16string& needle : needles) {
        benchmark::DoNotOptimize(text.find(needle));
      }
    }
  }
}
BENCHMARK(BM_U16StringFind);

void BM_WStringToUTF8(benchmark::State& state) {
  std::vector<QZ::WString> texts;
  for (const std::u16string& text : kTexts) {
    texts.emplace_back(text.c_str());
  }
  for (auto _ : state) {
    for (const QZ::WString& text : texts) {
      QZ::NString utf8 = text.ToUTF8();
      benchmark::DoNotOptimize(utf8);
    }
  }
}
BENCHMARK(BM_WStringToUTF8);

void BM_StdToUTF8(benchmark::State& state) {
  StdConverter converter;
  for (auto _ : state) {
    for (const std::u16string& text : kTexts) {
      std::string utf8 = converter.to_bytes(text);
      benchmark::DoNotOptimize(utf8);
    }
  }
}
BENCHMARK(BM_StdToUTF8);

void BM_NStringToUTF16(benchmark::State& state) {
  std::vector<QZ::NString> texts;
  for (const std::string& text : Utf8Texts()) {
    texts.emplace_back(text.c_str());
  }
  for (auto _ : state) {
    for (const QZ::NString& text : texts) {
      QZ::WString wide(text);
      benchmark::DoNotOptimize(wide);
    }
  }
}
BENCHMARK(BM_NStringToUTF16);

void BM_StdToUTF16(benchmark::State& state) {
  StdConverter converter;
  const std::vector<std::string> texts = Utf8Texts();
  for (auto _ : state) {
    for (const std::string& text : texts) {
      std::u16string wide = converter.from_bytes(text);
      benchmark::DoNotOptimize(wide);
    }
  }
}
BENCHMARK(BM_StdToUTF16);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(argc, argv,
                                {{"BM_WStringFormat", "BM_SnprintfFormat"},
                                 {"BM_WStringFormatReal", "BM_SnprintfFormatReal"},
                                 {"BM_WStringFind", "BM_U16StringFind"},
                                 {"BM_WStringToUTF8", "BM_StdToUTF8"},
                                 {"BM_NStringToUTF16", "BM_StdToUTF16"}});
}

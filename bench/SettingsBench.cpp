// Loading and writing a settings document of 1,000 keys (integers, flags, reals, folder
// paths, a few lists) against Expat parsing the same bytes with no handlers at all: the
// least any reader built on it can cost.

#include <expat.h>

#include <string>

#include "QZFramework/Services/Settings/XNode.h"
#include "Support/RatioReporter.h"

namespace {

class StringOutput : public XNode::Output {
public:
  void Write(const char* bytes, size_t length) override { text.append(bytes, length); }
  std::string text;
};

std::string SettingsDocument() {
  XNode root(XNode::kTypeDict);
  root.FindPath("Application", XNode::kPathCreate)->SetString("Quorin Preset Editor");
  for (int i = 0; i < 1000; ++i) {
    const std::string key = "1_0_0.Group" + std::to_string(i % 20) + ".Setting" + std::to_string(i);
    switch (i % 5) {
    case 0:
      root.FindPath(key, XNode::kPathCreate)->SetInteger(i * 37 - 5000);
      break;
    case 1:
      root.FindPath(key, XNode::kPathCreate)->SetBool(i % 2 == 0);
      break;
    case 2: {
      XNode* real = root.FindPath(key, XNode::kPathCreate);
      real->SetType(XNode::kTypeReal);
      real->SetFromText(std::to_string(i / 7.0));
      break;
    }
    case 3:
      root.FindPath(key, XNode::kPathCreate)
          ->SetString("/home/user/.config/Vandrel/Quorin 49 ZTR/Presets & Sets/Live " + std::to_string(i));
      break;
    default:
      for (int item = 0; item < 3; ++item) {
        root.FindPath(key + "[" + std::to_string(item) + "]", XNode::kPathCreate)
            ->SetString("Preset " + std::to_string(item));
      }
      break;
    }
  }
  StringOutput output;
  (void)root.Write(output, XNode::kWriteDocument); // into a string: cannot fail
  return output.text;
}

const std::string& Document() {
  static const std::string document = SettingsDocument();
  return document;
}

void BM_ExpatRawParse(benchmark::State& state) {
  const std::string& document = Document();
  for (auto _ : state) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    const XML_Status status = XML_Parse(parser, document.data(), int(document.size()), 1);
    benchmark::DoNotOptimize(status);
    XML_ParserFree(parser);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(document.size()));
}
BENCHMARK(BM_ExpatRawParse);

void BM_SettingsLoad(benchmark::State& state) {
  const std::string& document = Document();
  for (auto _ : state) {
    std::unique_ptr<XNode> root = XNode::Load(document, nullptr, nullptr);
    benchmark::DoNotOptimize(root.get());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(document.size()));
}
BENCHMARK(BM_SettingsLoad);

void BM_SettingsWrite(benchmark::State& state) {
  const std::unique_ptr<XNode> root = XNode::Load(Document(), nullptr, nullptr);
  for (auto _ : state) {
    StringOutput output;
    output.text.reserve(Document().size());
    (void)root->Write(output, XNode::kWriteDocument); // into a string: cannot fail
    benchmark::DoNotOptimize(output.text.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Document().size()));
}
BENCHMARK(BM_SettingsWrite);

void BM_SettingsLoadAndWrite(benchmark::State& state) {
  const std::string& document = Document();
  for (auto _ : state) {
    std::unique_ptr<XNode> root = XNode::Load(document, nullptr, nullptr);
    StringOutput output;
    (void)root->Write(output, XNode::kWriteDocument); // into a string: cannot fail
    benchmark::DoNotOptimize(output.text.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(document.size()));
}
BENCHMARK(BM_SettingsLoadAndWrite);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(argc, argv,
                                {{"BM_SettingsLoad", "BM_ExpatRawParse"},
                                 {"BM_SettingsWrite", "BM_ExpatRawParse"},
                                 {"BM_SettingsLoadAndWrite", "BM_ExpatRawParse"}});
}

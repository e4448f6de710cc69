// Loading and writing a settings document of 1,000 keys (integers, flags, reals, folder
// paths, a few lists) against Expat parsing the same bytes with no handlers at all: the
// least any reader built on it can cost. And a document of 100,000 keys (about 9 MB) against
// one of 1,000: linear reading takes 100 times as long (the ratio printed, and equal
// bytes per second); "heap_per_byte" is the memory the loaded tree holds per byte read.

#include <expat.h>

#include <malloc.h>

#include <map>
#include <string>

#include "QZFramework/Services/Settings/XNode.h"
#include "Support/RatioReporter.h"

namespace {

class StringOutput : public XNode::Output {
public:
  void Write(const char* bytes, size_t length) override { text.append(bytes, length); }
  std::string text;
};

std::string SettingsDocument(int keys = 1000) {
  XNode root(XNode::kTypeDict);
  root.FindPath("Application", XNode::kPathCreate)->SetString("Quorin Preset Editor");
  for (int i = 0; i < keys; ++i) {
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

// Documents by key count, made once.
const std::string& SizedDocument(int keys) {
  static std::map<int, std::string> documents;
  auto found = documents.find(keys);
  if (found == documents.end()) {
    found = documents.emplace(keys, SettingsDocument(keys)).first;
  }
  return found->second;
}

void BM_SettingsLoadKeys(benchmark::State& state) {
  const std::string& document = SizedDocument(int(state.range(0)));
  double heap = 0.0;
  for (auto _ : state) {
    const size_t before = mallinfo2().uordblks;
    std::unique_ptr<XNode> root = XNode::Load(document, nullptr, nullptr);
    heap = double(mallinfo2().uordblks - before);
    benchmark::DoNotOptimize(root.get());
    state.PauseTiming(); // releasing the tree is not part of reading it
    root.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(document.size()));
  state.counters["bytes"] = double(document.size());
  state.counters["heap_per_byte"] = heap / double(document.size());
}
BENCHMARK(BM_SettingsLoadKeys)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(argc, argv,
                                {{"BM_SettingsLoad", "BM_ExpatRawParse"},
                                 {"BM_SettingsWrite", "BM_ExpatRawParse"},
                                 {"BM_SettingsLoadAndWrite", "BM_ExpatRawParse"},
                                 {"BM_SettingsLoadKeys/100000", "BM_SettingsLoadKeys/1000"}});
}

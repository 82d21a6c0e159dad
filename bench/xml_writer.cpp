// Writing speed of the output document: 100 000 amount elements through
// XmlWriter and the output file object, one file write per line.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/File.h"
#include "report/ElementNameTable.h"
#include "report/RoundToYen.h"
#include "report/XmlWriter.h"

namespace {

namespace fs = std::filesystem;
using report::ElementNameTable;

constexpr int kElements = 100000;

class OutputFolder {
 public:
  OutputFolder() {
    std::string pattern = (fs::temp_directory_path() / "taxbridge-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    dir_ = pattern;
  }
  ~OutputFolder() { fs::remove_all(dir_); }
  std::string File(const char* name) const { return (dir_ / name).string(); }

 private:
  fs::path dir_;
};

void BM_WriteDocument(benchmark::State& state) {
  OutputFolder folder;
  const std::string path = folder.File("out.xml");
  int64_t lines = 0;
  for (auto _ : state) {
    const std::unique_ptr<platform::File> file = platform::FileSystem::Default().NewFile();
    report::XmlWriter writer;
    if (writer.OpenOutput(file.get(), path) != 0) {
      state.SkipWithError(writer.lastError().c_str());
      break;
    }
    int ok = writer.WriteRaw("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n");
    ok &= writer.WriteStartTag("REPORT", 0);
    ok &= writer.WriteStartTag("DATA", 1);
    lines += 3;
    int written = 0;
    int64_t amount = 123456789;
    while (written < kElements) {
      for (const auto& record : ElementNameTable::DataRecords()) {
        ok &= writer.WriteStartTag(record.code, 2);
        for (int p = record.first; p < record.first + record.count && written < kElements; ++p, ++written) {
          amount = amount * 31 % 99999999967;
          ok &= writer.WriteElement(ElementNameTable::At(p), report::AmountText(amount - 50000000000, 0), 3);
          ++lines;
        }
        ok &= writer.WriteEndTag(record.code, 2);
        lines += 2;
        if (written >= kElements) break;
      }
    }
    ok &= writer.WriteEndTag("DATA", 1);
    ok &= writer.WriteEndTag("REPORT", 0);
    lines += 2;
    if (!ok || writer.CloseOutput() != 0) {
      state.SkipWithError("the document could not be written");
      break;
    }
  }
  state.counters["lines_per_second"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
  state.counters["elements"] = kElements;
}
BENCHMARK(BM_WriteDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

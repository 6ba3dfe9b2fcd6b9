// Importing delimited files must stay linear: a million rows in well under a second, as
// rows per second. The text is what spreadsheets write: a header, ";" and decimal commas,
// an index column and a quoted note.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "import/CsvImport.h"
#include "import/CsvText.h"

namespace fs = std::filesystem;

namespace {

std::string MakeText(std::int64_t rows) {
  std::string text = "index;time;value;note\r\n";
  text.reserve(static_cast<std::size_t>(rows) * 48);
  char line[128];
  for (std::int64_t i = 0; i < rows; ++i) {
    const int length =
        std::snprintf(line, sizeof line, "%lld;%.6f;%.8f;\"row \"\"%lld\"\"\"\r\n",
                      static_cast<long long>(i + 1), static_cast<double>(i) * 0.001,
                      std::sin(static_cast<double>(i) * 0.37) * 1000, static_cast<long long>(i));
    std::string row(line, static_cast<std::size_t>(length));
    for (char& c : row) {
      if (c == '.') c = ',';
    }
    text += row;
  }
  return text;
}

void Report(benchmark::State& state, std::size_t bytes) {
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                benchmark::Counter::kIsIterationInvariantRate);
}

// The import alone, on text in memory, with the settings chosen.
void ImportText(benchmark::State& state) {
  const std::string text = MakeText(state.range(0));
  const TCsvImportSettings settings{
      {';', ',', true}, {TColumnChoice::ByName("time")}, TColumnChoice::ByName("value")};
  for (auto _ : state)
    benchmark::DoNotOptimize(ImportCsv(text, settings).Samples.Count());
  Report(state, text.size());
}

// What movar-search --import does: read the file, detect, import into a sample set.
void ImportFile(benchmark::State& state) {
  const std::string path = (fs::temp_directory_path() / "movar-bench-import.csv").string();
  const std::string content = MakeText(state.range(0));
  std::ofstream(path, std::ios::binary) << content;
  TSampleData samples;
  for (auto _ : state) {
    const std::string text = ReadCsvFile(path);
    ImportCsv(text, DetectCsvImport(text), samples);
  }
  Report(state, content.size());
  fs::remove(path);
}

}  // namespace

BENCHMARK(ImportText)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImportFile)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();

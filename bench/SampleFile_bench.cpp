// Saving and loading sample files must stay linear in their size: a million lines well
// under a second, and a 100 MB line or ten million lines without trouble.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "exchange/SampleFile.h"

namespace fs = std::filesystem;

namespace {

std::string BenchFile(const char* name) {
  return (fs::temp_directory_path() / (std::string("movar-bench-") + name)).string();
}

TSampleData MakeSamples(std::int32_t count) {
  TSampleData samples(count);
  for (std::int32_t i = 0; i < count; ++i) {
    samples.SetX(i, i * 0.001);
    samples.SetY(i, std::sin(i * 0.37) * 1000);
  }
  return samples;
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

void SaveSampleFile(benchmark::State& state) {
  const TSampleData samples = MakeSamples(static_cast<std::int32_t>(state.range(0)));
  const std::string path = BenchFile("save.mvs");
  for (auto _ : state)
    SaveToFile(samples, path);
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
  fs::remove(path);
}

void LoadSampleFile(benchmark::State& state) {
  const std::string path = BenchFile("load.mvs");
  SaveToFile(MakeSamples(static_cast<std::int32_t>(state.range(0))), path);
  TSampleData samples;
  for (auto _ : state)
    benchmark::DoNotOptimize(LoadFromFile(samples, path));
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
  fs::remove(path);
}

// One line of 100 MB: a single number of a hundred million digits, then a second item.
void LoadOneHugeLine(benchmark::State& state) {
  const std::string path = BenchFile("line.mvs");
  WriteFile(path, "1" + std::string(100'000'000, '7') + ",2\r\n");
  TSampleData samples;
  for (auto _ : state)
    benchmark::DoNotOptimize(LoadFromFile(samples, path));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
  fs::remove(path);
}

void LoadTenMillionLines(benchmark::State& state) {
  const std::string path = BenchFile("lines.mvs");
  std::string content;
  content.reserve(40'000'000);
  for (int i = 0; i < 10'000'000; ++i)
    content += (i % 2 == 0 ? "1,2\r\n" : "x\n");
  WriteFile(path, content);
  TSampleData samples;
  for (auto _ : state)
    benchmark::DoNotOptimize(LoadFromFile(samples, path));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
  fs::remove(path);
}

}  // namespace

BENCHMARK(SaveSampleFile)
    ->RangeMultiplier(10)
    ->Range(10'000, 1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(LoadSampleFile)
    ->RangeMultiplier(10)
    ->Range(10'000, 1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(LoadOneHugeLine)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(LoadTenMillionLines)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();

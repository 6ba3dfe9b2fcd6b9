#pragma once
// Programs and inputs for the formula and code export tests: random programs of several
// sizes, the models of the reference runs, and x values that reach every guard's edge.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/model/SD.h"
#include "exchange/SampleFile.h"
#include "core/search/SearchRun.h"
#include "core/model/TE.h"

// count programs, sizes cycling through 1 .. 100 instructions and 1 .. 20 registers, each
// drawn from its own fixed seed.
inline std::vector<TTuringEvaluator> RandomPrograms(int count) {
  static const int Instructions[] = {1, 2, 3, 5, 8, 12, 20, 40, 100};
  static const int Registers[] = {1, 2, 3, 4, 6, 20};
  std::vector<TTuringEvaluator> programs;
  for (int k = 0; k < count; ++k) {
    TTuringEvaluator p(Instructions[k % 9], Registers[(k / 9) % 6]);
    TRandomStream random(0x5eed0000u + static_cast<std::uint32_t>(k));
    p.RandomizeAll(random);
    programs.push_back(p);
  }
  return programs;
}

// The guards' edges and the extremes of a double, then random values on every scale.
inline std::vector<double> EdgeAndRandomXs(int count) {
  const double inf = std::numeric_limits<double>::infinity();
  const double limit = 9223372036854775808.0;
  std::vector<double> xs = {0.0,
                            -0.0,
                            1.0,
                            -1.0,
                            0.5,
                            -0.5,
                            2.0,
                            -2.0,
                            10.0,
                            10.0001,
                            -3.0,
                            std::nextafter(1.0, 0.0),
                            std::nextafter(0.0, 1.0),
                            -std::nextafter(0.0, 1.0),
                            limit,
                            -limit,
                            std::nextafter(limit, 0.0),
                            -std::nextafter(limit, 0.0),
                            std::nextafter(limit, inf),
                            1e19,
                            -1e19,
                            11356.5,
                            709.78,
                            -745.2,
                            DBL_MAX,
                            -DBL_MAX,
                            DBL_MIN,
                            -DBL_MIN,
                            DBL_EPSILON,
                            1e300,
                            -1e300,
                            1e-300,
                            -1e-300,
                            1e154,
                            2147483647.0,
                            -2147483648.0,
                            2147483648.0,
                            inf,
                            -inf,
                            std::numeric_limits<double>::quiet_NaN(),
                            M_PI,
                            -M_PI,
                            M_PI / 2,
                            3213.0186,
                            9999.9998};
  std::mt19937_64 random(20240613);
  std::uniform_real_distribution<double> unit(0, 1);
  std::uniform_int_distribution<int> kind(0, 3);
  while (static_cast<int>(xs.size()) < count) {
    const double sign = unit(random) < 0.5 ? -1 : 1;
    switch (kind(random)) {
      case 0:
        xs.push_back(std::round(unit(random) * 200 - 100));  // integers, as samples often are
        break;
      case 1:
        xs.push_back(unit(random) * 200 - 100);
        break;
      case 2:
        xs.push_back(sign * unit(random));
        break;
      default:
        xs.push_back(sign * std::pow(10.0, unit(random) * 600 - 300));
        break;
    }
  }
  return xs;
}

// The x values of the generated samples and of the reference runs' sample file.
inline std::vector<double> SampleXs() {
  std::vector<double> xs;
  for (int i = 0; i < 100; ++i)
    xs.push_back(i);
  TSampleData random(100);
  SetSeed(1000);
  random.GenerateRandom();
  for (int i = 0; i < random.Count(); ++i)
    xs.push_back(random.GetX(i));
  return xs;
}

struct TReferenceModel {
  std::string Name;
  std::vector<std::string> ExpectedOut;  // the reference run's stdout
  std::vector<std::string> Lines;        // what the search printed in-process
  TTuringEvaluator Program{0, 1};
  TSampleData Samples{0};
};

inline std::string ReferenceFolder() {
  return std::string(MOVAR_GOLDEN_DIR);
}

// The reference runs live beside the checkout, not in it; a clone on its own has none.
inline bool HaveReferenceRuns() {
  return std::ifstream(ReferenceFolder() + "/check").good();
}

inline std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// Runs the search of a reference run in-process, from the arguments of its .args file.
inline TReferenceModel ReferenceModel(const std::string& name) {
  TReferenceModel model;
  model.Name = name;
  model.ExpectedOut = ReadLines(ReferenceFolder() + "/" + name + ".out");
  std::istringstream args(ReadLines(ReferenceFolder() + "/" + name + ".args").at(0));
  TSearchParameters parameters;
  parameters.InstructionCount = 5;
  parameters.PopulationSize = 100;
  parameters.RegisterCount = 2;
  parameters.Threads = 1;
  std::uint32_t seed = 0;
  bool random = false;
  std::string samples;
  for (std::string option; args >> option;) {
    std::string value;
    if (option == "--no-progressive") {
      parameters.Progressive = false;
    } else if (option == "--random") {
      random = true;
    } else if (args >> value) {
      if (option == "--seed") seed = static_cast<std::uint32_t>(std::stoul(value));
      if (option == "--registers") parameters.RegisterCount = std::stoi(value);
      if (option == "--instructions") parameters.InstructionCount = std::stoi(value);
      if (option == "--population") parameters.PopulationSize = std::stoi(value);
      if (option == "--margin") parameters.MarginPercent = std::stoi(value);
      if (option == "--generations") parameters.GenerationLimit = std::stoll(value);
      if (option == "--samples") samples = value.replace(0, 6, ReferenceFolder());
    }
  }
  SetSeed(seed);
  if (!samples.empty()) {
    LoadFromFile(model.Samples, samples);
  } else {
    model.Samples.SetCount(100);
    if (random) {
      model.Samples.GenerateRandom();
    } else {
      model.Samples.GenerateSine();
    }
  }
  parameters.Seed = Seed();  // the search continues the stream a generated sample was drawn from
  TSearchRun run(model.Samples, parameters);
  const TSearchResult result = run.Run({});
  model.Lines = result.Lines;
  model.Lines.push_back("generations: " + std::to_string(result.Generations));
  model.Program = *result.Model;
  return model;
}

inline std::vector<std::string> ReferenceNames() {
  return {"random-seed1000", "sine-external-seed4", "sine-seed1", "sine-seed2", "sine-seed77-wide"};
}

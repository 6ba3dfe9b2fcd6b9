// movar._core: the search, its settings, the programs it finds and the sample files, for
// Python. The package movar builds its estimator and plain functions on it.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/search/SearchMemory.h"
#include "exchange/SampleFile.h"
#include "python/FitSearch.h"
#include "python/FittedProgram.h"
#include "python/InterruptWatch.h"
#include "python/KeywordSettings.h"
#include "python/SampleArrays.h"

namespace py = pybind11;

namespace {

using TMatrix = py::array_t<double, py::array::c_style | py::array::forcecast>;

// A finished search as Python sees it: the outcome, and its programs with their origin.
struct TSearchAnswer {
  TFitOutcome Outcome;
  std::optional<TFittedProgram> Program;
  std::vector<TFittedProgram> FrontPrograms;  // one for each model of Outcome.Front
};

// Version of a pickled program's state; a later one is refused by older builds. Version 1
// had no column names.
constexpr int StateVersion = 2;

void RequireShape(const TMatrix& array, py::ssize_t dimensions, const char* name) {
  if (array.ndim() != dimensions) {
    throw py::value_error(std::string(name) + " must have " + std::to_string(dimensions) +
                          (dimensions == 1 ? " dimension" : " dimensions") + ", not " +
                          std::to_string(array.ndim()));
  }
}

// names: the inputs' then y's, or none.
TSampleData SamplesOfArrays(const TMatrix& x, const TMatrix& y, std::vector<std::string> names) {
  RequireShape(x, 2, "X");
  RequireShape(y, 1, "y");
  return SamplesOf(x.data(), x.shape(0), x.shape(1), y.data(), y.shape(0), std::move(names));
}

TSearchAnswer Search(const TMatrix& x, const TMatrix& y, const py::dict& keywords,
                     const std::string& source, std::vector<std::string> names) {
  const TRunSettings settings = SettingsOf(keywords);
  TSampleData samples = SamplesOfArrays(x, y, std::move(names));
  TInterruptWatch watch;
  TSearchAnswer answer;
  {
    const py::gil_scoped_release unlocked;
    answer.Outcome = RunFit(samples, settings,
                            {[&watch] { return watch.Interrupted(); },
                             [&watch](const std::string& text) { watch.Warn(text); }});
  }
  watch.RaisePending();
  const TModelOrigin origin{source, settings.Search.Margin(), samples.Names()};
  if (answer.Outcome.Model) answer.Program.emplace(*answer.Outcome.Model, origin);
  for (const TFrontModel& model : answer.Outcome.Front)
    answer.FrontPrograms.emplace_back(model.Model, origin);
  return answer;
}

py::array_t<double> Predict(const TFittedProgram& program, const TMatrix& x) {
  RequireShape(x, 2, "X");
  if (x.shape(1) != program.InputCount()) {
    throw py::value_error("X has " + std::to_string(x.shape(1)) +
                          (x.shape(1) == 1 ? " column" : " columns") + "; the model takes " +
                          std::to_string(program.InputCount()));
  }
  py::array_t<double> predictions(x.shape(0));
  const auto size = static_cast<std::size_t>(x.size());
  const std::span<const double> values(x.data(), size);
  const std::span<double> out(predictions.mutable_data(), static_cast<std::size_t>(x.shape(0)));
  {
    const py::gil_scoped_release unlocked;
    program.Predict(values, out);
  }
  return predictions;
}

py::tuple StateTuple(const TFittedProgram& program) {
  const TProgramState state = StateOf(program.Model());
  py::list code;
  for (const TInstruction& in : state.Code)
    code.append(py::make_tuple(in.Dest, in.Op, in.Src, in.Value));
  return py::make_tuple(StateVersion, state.Registers, state.Inputs, code, program.Origin().Samples,
                        program.Origin().Margin, program.Origin().Columns);
}

TFittedProgram ProgramOfTuple(const py::tuple& tuple) {
  const int version = tuple.empty() ? 0 : tuple[0].cast<int>();
  if (!((version == 1 && tuple.size() == 6) || (version == StateVersion && tuple.size() == 7)))
    throw py::value_error("not the state of a movar.Program of this version");
  TProgramState state;
  state.Registers = tuple[1].cast<std::int32_t>();
  state.Inputs = tuple[2].cast<std::int32_t>();
  for (const py::handle item : tuple[3].cast<py::list>()) {
    const auto fields = item.cast<std::tuple<int, int, int, double>>();
    const auto byte = [](int value) {
      if (value < 0 || value > 255) throw py::value_error("not a program: a field beyond a byte");
      return static_cast<std::uint8_t>(value);
    };
    state.Code.push_back({byte(std::get<0>(fields)), byte(std::get<1>(fields)),
                          byte(std::get<2>(fields)), std::get<3>(fields)});
  }
  TModelOrigin origin{tuple[4].cast<std::string>(), tuple[5].cast<double>()};
  if (version >= 2) origin.Columns = tuple[6].cast<std::vector<std::string>>();
  if (!origin.Columns.empty()) {
    if (std::ssize(origin.Columns) != state.Inputs + 1 || !ColumnNamesFault(origin.Columns).empty())
      throw py::value_error("not a program: column names that do not fit its inputs");
  }
  return {ProgramOf(state), std::move(origin)};
}

// (X, y, names, notes): names of the columns as bytes, the header's or x1 ... xn and y
// without one, which the package decodes and names the file when it cannot; notes say which
// lines were left out, not used whole or read leniently.
py::tuple LoadSamples(const std::string& path) {
  std::optional<TSampleRead> read;
  {
    const py::gil_scoped_release unlocked;
    read.emplace(ReadSampleFile(path));
  }
  if (read->Rows() == 0)
    throw py::value_error(path + ": no samples, the file holds no line of data");
  if (read->Readable() == 0) throw py::value_error(path + ": " + UnreadableSummary(*read));
  py::list notes;
  for (const std::string& note : ReadNotes(*read, TUnreadableChoice::Leave))
    notes.append(path + ": " + note);
  TSampleData samples;
  std::move(*read).MoveInto(samples, TUnreadableChoice::Leave);
  const py::ssize_t count = samples.Count();
  const std::int32_t inputs = samples.InputCount();
  py::array_t<double> x({count, py::ssize_t{inputs}});
  py::array_t<double> y(count);
  double* xs = x.mutable_data();
  double* ys = y.mutable_data();
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    for (std::int32_t k = 0; k < inputs; ++k)
      *xs++ = samples.GetX(i, k);
    ys[i] = samples.GetY(i);
  }
  py::list names;
  for (const std::string& name : ColumnNames(samples))
    names.append(py::bytes(name));
  return py::make_tuple(x, y, names, notes);
}

// A file whose header would not read back as these names (a number, blanks around a name,
// a line break in one) would lose them, or its first row.
void CheckNamesReadBack(const TSampleData& samples) {
  const std::string fault = SampleFileFault(samples);
  if (fault.empty()) return;
  std::string list;
  for (const std::string& name : samples.Names())
    list += (list.empty() ? "" : ", ") + py::repr(py::str(name)).cast<std::string>();
  throw py::value_error("the column names " + list +
                        " would not read back from a sample file's header: " + fault);
}

void SaveSamples(const std::string& path, const TMatrix& x, const TMatrix& y,
                 std::vector<std::string> names) {
  const TSampleData samples = SamplesOfArrays(x, y, std::move(names));
  CheckNamesReadBack(samples);
  const py::gil_scoped_release unlocked;
  SaveToFile(samples, path);
}

std::string TextOf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + '\n';
  return text;
}

py::object FiguresOf(const std::optional<TFitFigures>& fit) {
  if (!fit) return py::none();
  py::dict figures;
  figures["count"] = fit->Count;
  figures["error"] = fit->Error;
  figures["rmse"] = fit->Rmse;
  figures["r2"] = fit->RSquared;
  return figures;
}

// The front as plain values, which the package makes into its FrontModel objects.
py::list FrontOf(const TSearchAnswer& answer) {
  py::list front;
  for (std::size_t i = 0; i < answer.Outcome.Front.size(); ++i) {
    const TFrontModel& model = answer.Outcome.Front[i];
    py::dict entry;
    entry["size"] = model.Size;
    entry["error"] = model.Fit.Error;
    entry["rmse"] = model.Fit.Rmse;
    entry["r2"] = model.Fit.RSquared;
    entry["matches"] = model.Matches;
    entry["attempt"] = model.Attempt;
    entry["seed"] = model.Seed;
    entry["generation"] = model.Generation;
    entry["held_out"] = FiguresOf(model.HeldOut);
    entry["model_text"] = TextOf(model.Lines);
    entry["program"] = answer.FrontPrograms[i];
    front.append(entry);
  }
  return front;
}

void BindResult(py::module_& module) {
  py::class_<TSearchAnswer>(module, "SearchResult",
                            "What a search ended with: the model, its text and formula, and "
                            "how the run went.")
      .def_property_readonly("matched", [](const TSearchAnswer& a) { return a.Outcome.Matched; })
      .def_property_readonly("seed", [](const TSearchAnswer& a) { return a.Outcome.Seed; })
      .def_property_readonly("generations",
                             [](const TSearchAnswer& a) { return a.Outcome.Generations; })
      .def_property_readonly("total_generations",
                             [](const TSearchAnswer& a) { return a.Outcome.TotalGenerations; })
      .def_property_readonly("attempt",
                             [](const TSearchAnswer& a) -> std::optional<std::int64_t> {
                               if (a.Outcome.Attempt < 0) return std::nullopt;
                               return a.Outcome.Attempt;
                             })
      .def_property_readonly("attempt_seed",
                             [](const TSearchAnswer& a) -> std::optional<std::uint32_t> {
                               if (a.Outcome.Attempt < 0) return std::nullopt;
                               return a.Outcome.AttemptSeed;
                             })
      .def_property_readonly("matches", [](const TSearchAnswer& a) { return a.Outcome.Matches; })
      .def_property_readonly("sample_count",
                             [](const TSearchAnswer& a) { return a.Outcome.SampleCount; })
      .def_property_readonly("error", [](const TSearchAnswer& a) { return a.Outcome.Error; })
      .def_property_readonly("elapsed",
                             [](const TSearchAnswer& a) {
                               return static_cast<double>(a.Outcome.Elapsed.count()) / 1000;
                             })
      .def_property_readonly("model_text",
                             [](const TSearchAnswer& a) { return TextOf(a.Outcome.Lines); })
      .def_property_readonly("front_models", &FrontOf)
      .def_property_readonly("suggested_index",
                             [](const TSearchAnswer& a) { return a.Outcome.Suggested; })
      .def_property_readonly("held_out",
                             [](const TSearchAnswer& a) { return FiguresOf(a.Outcome.HeldOut); })
      .def_property_readonly("program", [](const TSearchAnswer& a) { return a.Program; })
      .def_property_readonly("formula",
                             [](const TSearchAnswer& a) -> std::optional<std::string> {
                               if (!a.Outcome.FormulaAvailable) return std::nullopt;
                               return a.Outcome.Formula;
                             })
      .def_property_readonly("latex",
                             [](const TSearchAnswer& a) -> std::optional<std::string> {
                               if (!a.Outcome.FormulaAvailable) return std::nullopt;
                               return a.Outcome.Latex;
                             })
      .def_property_readonly("formula_note",
                             [](const TSearchAnswer& a) { return a.Outcome.FormulaNote; })
      .def_property_readonly("sympy_text",
                             [](const TSearchAnswer& a) -> std::optional<std::string> {
                               if (!a.Outcome.FormulaAvailable || a.Outcome.Sympy.empty())
                                 return std::nullopt;
                               return a.Outcome.Sympy;
                             });
}

void BindProgram(py::module_& module) {
  py::class_<TFittedProgram>(module, "Program",
                             "A model found by a search: it predicts with the interpreter "
                             "itself and writes its exact code.")
      .def("predict_rows", &Predict, py::arg("X"),
           "One prediction per row of X, by position: rows of the model's inputs as an array "
           "of doubles.")
      .def_property_readonly("input_count", &TFittedProgram::InputCount)
      .def_property_readonly(
          "input_names",
          [](const TFittedProgram& program) -> std::optional<std::vector<std::string>> {
            const std::vector<std::string>& columns = program.Origin().Columns;
            if (columns.empty()) return std::nullopt;
            return std::vector<std::string>(columns.begin(), columns.end() - 1);
          },
          "The names the search gave the inputs, which predict finds a DataFrame's columns "
          "by; None without.")
      .def_property_readonly("source", &TFittedProgram::Source,
                             "The model as the C-style function the model text shows.")
      .def("c_code", &TFittedProgram::C, py::arg("name") = "model",
           "C (and C++) that computes the model bit for bit.")
      .def("python_code", &TFittedProgram::Python, py::arg("name") = "model",
           "Python with NumPy that computes the model bit for bit.")
      .def_property_readonly("instructions",
                             [](const TFittedProgram& program) {
                               py::list code;
                               for (const TInstruction& in : program.Model().Code())
                                 code.append(py::make_tuple(in.Dest, in.Op, in.Src, in.Value));
                               return code;
                             })
      .def(py::pickle(&StateTuple, &ProgramOfTuple));
}

}  // namespace

PYBIND11_MODULE(_core, module) {
  module.doc() = "The compiled core of movar: searches, programs and sample files.";
  py::register_exception<TSearchMemoryError>(module, "SearchMemoryError", PyExc_MemoryError);
  py::register_exception_translator([](std::exception_ptr error) {
    try {
      if (error) std::rethrow_exception(error);
    } catch (const TSampleFileError& fault) {
      // A name from a file may be any bytes: they must not make the message itself fail.
      const std::string_view text = fault.what();
      py::object message = py::reinterpret_steal<py::object>(PyUnicode_DecodeUTF8(
          text.data(), static_cast<Py_ssize_t>(text.size()), "backslashreplace"));
      PyErr_SetObject(PyExc_OSError, message.ptr());
    }
  });
  module.attr("MAX_INPUTS") = MaxArrayInputs;
  module.def("settings", &SettingTable, "The search settings: name, default, range and help.");
  BindResult(module);
  BindProgram(module);
  module.def("search", &Search, py::arg("X"), py::arg("y"), py::arg("settings"), py::arg("source"),
             py::arg("names") = std::vector<std::string>());
  module.def("load_samples", &LoadSamples, py::arg("path"));
  module.def("save_samples", &SaveSamples, py::arg("path"), py::arg("X"), py::arg("y"),
             py::arg("names") = std::vector<std::string>());
}

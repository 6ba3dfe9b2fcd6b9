#include "python/KeywordSettings.h"

#include <algorithm>
#include <optional>
#include <set>

namespace py = pybind11;

namespace {

// The one setting of that Python name, or none.
const TSearchSetting* SettingNamed(const std::string& name) {
  for (const TSearchSetting* setting : SearchSettings()) {
    if (PythonName(*setting) == name) return setting;
  }
  return nullptr;
}

std::string Shown(const py::handle& value) {
  return py::repr(value).cast<std::string>();
}

// Python's True and False and NumPy's.
bool IsTruth(const py::handle& value) {
  return PyBool_Check(value.ptr()) ||
         py::isinstance(value, py::module_::import("numpy").attr("bool_"));
}

// An int, a NumPy integer: what Python itself takes as an index.
std::optional<py::int_> WholeNumber(const py::handle& value) {
  if (IsTruth(value) || !py::hasattr(value, "__index__")) return std::nullopt;
  PyObject* number = PyNumber_Index(value.ptr());
  if (number == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::int_>(number);
}

// A switch takes True or False, or 0 and 1.
std::int64_t SwitchValue(const TSearchSetting& setting, const py::handle& value) {
  if (IsTruth(value)) return value.cast<bool>() ? 1 : 0;
  if (const std::optional<py::int_> number = WholeNumber(value)) {
    if (number->equal(py::int_(0)) || number->equal(py::int_(1))) return number->cast<int>();
  }
  throw py::type_error(PythonName(setting) + ": True or False, not " + Shown(value));
}

std::int64_t NumberValue(const TSearchSetting& setting, const py::handle& value) {
  const std::string name = PythonName(setting);
  const std::optional<py::int_> number = WholeNumber(value);
  if (!number) {
    // registers=True is a slip, not a count; margin=0.1 a fraction where percent is meant.
    if (!IsTruth(value) && PyNumber_Check(value.ptr()))
      throw py::value_error(name + ": not a whole number: " + Shown(value));
    throw py::type_error(name + ": a whole number, not " + Shown(value));
  }
  const py::int_ minimum(setting.Range.Minimum);
  const py::int_ maximum(setting.Range.Maximum);
  if (*number < minimum || *number > maximum)
    throw py::value_error(OutOfRangeText(setting, Shown(*number), PythonName));
  return number->cast<std::int64_t>();
}

}  // namespace

std::string PythonName(const TSearchSetting& setting) {
  std::string name(setting.Name);
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

TRunSettings SettingsOf(const py::dict& keywords) {
  TRunSettings settings;
  std::set<const TSearchSetting*> given;
  for (const auto& [key, value] : keywords) {
    const std::string name = py::str(key);
    const TSearchSetting* setting = SettingNamed(name);
    if (setting == nullptr) throw py::type_error("no setting is called " + Shown(key));
    if (value.is_none()) continue;
    ApplySetting(
        settings, *setting,
        setting->Value.empty() ? SwitchValue(*setting, value) : NumberValue(*setting, value));
    given.insert(setting);
  }
  try {
    CompleteSettings(settings, given, PythonName);
  } catch (const std::invalid_argument& error) {
    throw py::value_error(error.what());
  }
  return settings;
}

py::list SettingTable() {
  py::list table;
  for (const TSearchSetting* setting : SearchSettings()) {
    py::dict row;
    row["name"] = PythonName(*setting);
    row["switch"] = setting->Value.empty();
    row["default"] = setting->Unset.empty() ? py::object(py::int_(setting->Default)) : py::none();
    row["minimum"] = setting->Range.Minimum;
    row["maximum"] = setting->Range.Maximum;
    row["unset"] = std::string(setting->Unset);
    row["unit"] = std::string(setting->Unit);
    row["help"] = std::string(setting->Help);
    row["best_mode"] = setting->BestMode ? py::object(py::int_(*setting->BestMode)) : py::none();
    table.append(row);
  }
  return table;
}

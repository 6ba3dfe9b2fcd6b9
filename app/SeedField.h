#pragma once
// The "Seed" box: empty, each search takes a new seed from the clock; a number seeds the
// random source before "Sample generate" draws and before "Code search" makes its search,
// so that a run can be repeated. After a search its seed stands in the placeholder.

#include <cstdint>
#include <optional>

#include <QLineEdit>

class TSeedField : public QLineEdit {
  Q_OBJECT

 public:
  explicit TSeedField(QWidget* parent);

  // The seed typed in; nothing when the box is empty.
  [[nodiscard]] std::optional<std::uint32_t> Value() const;
  // The seed a search used, shown greyed while the box is empty.
  void ShowUsed(std::uint32_t seed);
};

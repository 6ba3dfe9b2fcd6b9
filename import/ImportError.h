#pragma once
// The error of an import that cannot give samples: a column that does not exist, a file
// without data rows, a text encoding that cannot be read. The text is what the user sees.

#include <stdexcept>

class TImportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

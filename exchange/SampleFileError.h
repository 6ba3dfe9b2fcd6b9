#pragma once
// The error of a sample file that cannot be read or written, with the text the window
// shows: "Cannot open file "<full path>". <cause>", "Cannot create file "<full path>".
// <cause>" or "Stream write error".

#include <stdexcept>

class TSampleFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

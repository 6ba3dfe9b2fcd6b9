#pragma once
// --import FILE, --x-column NAME|N[,...] and --y-column NAME|N: the window's Import without
// its dialog. The file's delimiter, decimal separator and header are detected; columns not
// given are the ones the dialog would propose (ChooseColumns).

#include <iosfwd>
#include <span>
#include <string>
#include <vector>

class TSampleData;

struct TCliImportOptions {
  std::string File;
  std::vector<std::string> XColumns;  // each one or more, comma-separated; none: as detected
  std::string YColumn;
};

// Throws std::invalid_argument for columns without --import, or --import beside --samples.
void CheckImportOptions(const TCliImportOptions& import, bool samplesFile);

// Fills the set from the file and writes what was imported to log. With names (the inputs',
// then y's), a file with a header gives the columns of those names, whatever their order.
// Throws TSampleFileError or TImportError, and leaves the set as it was then.
void ImportSamples(const TCliImportOptions& import, TSampleData& samples, std::ostream& log,
                   std::span<const std::string> names = {});

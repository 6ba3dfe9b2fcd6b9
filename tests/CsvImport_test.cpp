#include "import/CsvImport.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/search/SearchMemory.h"
#include "import/CsvText.h"
#include "import/ImportError.h"
#include "tests/SampleTesting.h"

namespace {

using TPoints = std::vector<std::pair<double, double>>;

TPoints PointsOf(const TCsvImportResult& result) {
  TPoints points;
  const TSampleData& samples = result.Samples;
  EXPECT_EQ(1, samples.InputCount());
  for (std::int32_t i = 0; i < samples.Count(); ++i)
    points.emplace_back(samples.GetX(i), samples.GetY(i));
  return points;
}

// What the dialog and movar-search do when nobody changes a thing: detect, then import.
TCsvImportResult ImportDetected(const std::string& bytes) {
  const std::string text = DecodeCsvText(bytes);
  return ImportCsv(text, DetectCsvImport(text));
}

TCsvImportSettings Settings(TCsvDialect dialect, TColumnChoice x, TColumnChoice y) {
  return {dialect, {std::move(x)}, std::move(y), {}};
}

std::string ErrorOf(const std::string& text, const TCsvImportSettings& settings) {
  try {
    (void)ImportCsv(text, settings);
  } catch (const TImportError& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace

TEST(CsvImport, TrickyFilesAsDetected) {
  const struct {
    const char* Name;
    std::string Bytes;
    TPoints Points;
    std::int64_t Skipped;
    std::int64_t OtherWidth = 0;
  } rows[] = {
      {"plain", "1,2\n3,4\n", {{1, 2}, {3, 4}}, 0},
      {"header", "x,y\r\n1.5,2.5\r\n-3,4e2\r\n", {{1.5, 2.5}, {-3, 400}}, 0},
      {"semicolon and decimal comma",
       "Zeit;Wert\r\n0,5;1,25\r\n1,5;-2\r\n",
       {{0.5, 1.25}, {1.5, -2}},
       0},
      {"tabs", "t\tv\n1\t2.5\n2\t3.5\n", {{1, 2.5}, {2, 3.5}}, 0},
      {"byte-order mark", "\xEF\xBB\xBFx;y\r\n1,5;2\r\n", {{1.5, 2}}, 0},
      {"quoted cells", "\"x\",\"y\"\n\"1\",\"2\"\n\" 3 \",4\n", {{1, 2}, {3, 4}}, 0},
      {"embedded delimiters",
       "name,x,y\n\"Smith, John\",1,2\n\"a,b,c\",3,4\n",
       {{1, 2}, {3, 4}},
       0},
      {"embedded line breaks",
       "name,x,y\n\"two\nlines\",1,2\n\"three\r\nlines\r\nhere\",3,4\n5th,5,6\n",
       {{1, 2}, {3, 4}, {5, 6}},
       0},
      {"doubled quotes", "label,x,y\n\"say \"\"hi\"\"\",1,2\n\"\"\"\",3,4\n", {{1, 2}, {3, 4}}, 0},
      {"empty lines", "\r\nx,y\r\n\r\n1,2\r\n\r\n\r\n3,4\r\n\r\n", {{1, 2}, {3, 4}}, 0},
      {"blank rows", "x,y\n1,2\n,\n \t, \n3,4\n", {{1, 2}, {3, 4}}, 0},
      // Rows of another width than the header's are left out, not read shifted.
      {"ragged rows", "x,y,z\n1,2,a\n3\n4,5,6,7\n8,9,b\n", {{1, 2}, {8, 9}}, 0, 2},
      {"text and missing cells", "x,y\n1,2\nn/a,3\n4,\n5,6\n", {{1, 2}, {5, 6}}, 2},
      {"no final line break", "x;y\n1,5;2,5", {{1.5, 2.5}}, 0},
      {"CR only", "x,y\r1,2\r3,4", {{1, 2}, {3, 4}}, 0},
      {"UTF-16 from a spreadsheet",
       std::string("\xFF\xFE"
                   "x\0\t\0y\0\r\0\n\0"
                   "1\0,\0"
                   "5\0\t\0"
                   "2\0\r\0\n\0",
                   22),
       {{1.5, 2}},
       0},
  };
  for (const auto& row : rows) {
    const TCsvImportResult result = ImportDetected(row.Bytes);
    EXPECT_EQ(row.Points, PointsOf(result)) << row.Name;
    EXPECT_EQ(row.Skipped, result.Skipped) << row.Name;
    EXPECT_EQ(row.OtherWidth, result.OtherWidth) << row.Name;
    EXPECT_EQ(static_cast<std::int64_t>(row.Points.size()) + row.Skipped + row.OtherWidth,
              result.Rows)
        << row.Name;
  }
}

TEST(CsvImport, ColumnsByNameOrNumber) {
  const std::string text = "id;time;value;unit\n1;0,5;10;m\n2;1,5;20;m\n";
  const TCsvDialect dialect{';', ',', true};
  const TPoints expected{{0.5, 10}, {1.5, 20}};
  EXPECT_EQ(expected, PointsOf(ImportCsv(text, Settings(dialect, TColumnChoice::ByName("time"),
                                                        TColumnChoice::ByName("value")))));
  EXPECT_EQ(expected, PointsOf(ImportCsv(text, Settings(dialect, TColumnChoice::ByNumber(2),
                                                        TColumnChoice::ByNumber(3)))));
  EXPECT_EQ(expected, PointsOf(ImportCsv(text, Settings(dialect, TColumnChoice::ByName("TIME"),
                                                        TColumnChoice::ByNumber(3)))));
  // The other way round; the same column for both is refused.
  EXPECT_EQ((TPoints{{10, 0.5}, {20, 1.5}}),
            PointsOf(ImportCsv(
                text, Settings(dialect, TColumnChoice::ByNumber(3), TColumnChoice::ByNumber(2)))));
  EXPECT_EQ(
      "Column 1 is chosen as an input and as y.",
      ErrorOf(text, Settings(dialect, TColumnChoice::ByNumber(1), TColumnChoice::ByNumber(1))));
  const TCsvImportResult result = ImportCsv(
      text, Settings(dialect, TColumnChoice::ByNumber(2), TColumnChoice::ByName("value")));
  EXPECT_EQ((std::vector<std::string>{"time"}), result.XNames);
  EXPECT_EQ("value", result.YName);
}

TEST(CsvImport, DetectionSuggestsColumns) {
  const TCsvImportSettings named = DetectCsvImport("id,y,x\n1,2,3\n2,5,6\n");
  EXPECT_EQ((std::vector<TColumnChoice>{TColumnChoice::ByNumber(3)}), named.X);
  EXPECT_EQ(TColumnChoice::ByNumber(2), named.Y);
  const TCsvImportSettings numeric = DetectCsvImport("label;a;b\nfoo;1,5;2\nbar;3;4\n");
  EXPECT_EQ((TCsvDialect{';', ',', true}), numeric.Dialect);
  EXPECT_EQ((std::vector<TColumnChoice>{TColumnChoice::ByNumber(2)}), numeric.X);
  EXPECT_EQ(TColumnChoice::ByNumber(3), numeric.Y);
}

TEST(CsvImport, WithoutHeaderTheFirstRowIsData) {
  const std::string text = "x,y\n1,2\n";
  const TCsvImportResult result = ImportCsv(
      text, Settings({',', '.', false}, TColumnChoice::ByNumber(1), TColumnChoice::ByNumber(2)));
  EXPECT_EQ((TPoints{{1, 2}}), PointsOf(result));
  EXPECT_EQ(2, result.Rows);
  EXPECT_EQ(1, result.Skipped);  // the header line, now a row without numbers
  EXPECT_EQ((std::vector<std::int64_t>{1}), result.SkippedLines);
}

TEST(CsvImport, StrictNumbers) {
  const std::string text = "x,y\n1,2\n0x10,1\ninf,1\n1e400,1\n\"1,5\",2\n 7 , 8 \n";
  const TCsvImportResult result = ImportCsv(
      text, Settings({',', '.', true}, TColumnChoice::ByNumber(1), TColumnChoice::ByNumber(2)));
  EXPECT_EQ((TPoints{{1, 2}, {7, 8}}), PointsOf(result));
  EXPECT_EQ((std::vector<std::int64_t>{3, 4, 5, 6}), result.SkippedLines);
}

TEST(CsvImport, SkippedLinesAreThoseOfTheFile) {
  std::string text = "x,y\n\"multi\nline\",1\n";  // lines 2 and 3
  for (int i = 0; i < 10; ++i)
    text += "a,b\n";  // lines 4 to 13
  text += "1,2\n";
  const TCsvImportResult result = ImportDetected(text);
  EXPECT_EQ(11, result.Skipped);
  EXPECT_EQ((std::vector<std::int64_t>{2, 4, 5, 6, 7}), result.SkippedLines);
  EXPECT_EQ(
      "Test data imported: 1 sample; 11 rows skipped because a chosen cell is not a number "
      "(lines 2, 4, 5, 6, 7 and more).",
      ImportSummary(result));
}

// A row of another width than the header's would be read shifted ("1,000" split in two): it
// is left out and counted with its line, as rows that are not numbers are.
TEST(CsvImport, RowsOfAnotherWidthAreLeftOutNotShifted) {
  const TCsvImportResult result = ImportDetected("a,b,y\n1,2,3\n3,1,000,7\n4,5\n6,7,8\n");
  const TSampleData& samples = result.Samples;
  ASSERT_EQ(2, samples.InputCount());
  ASSERT_EQ(2, samples.Count());
  EXPECT_EQ(3, samples.GetY(0));
  EXPECT_EQ(6, samples.GetX(1, 0));
  EXPECT_EQ(8, samples.GetY(1));
  EXPECT_EQ(4, result.Rows);
  EXPECT_EQ(
      "Test data imported: 2 samples; 2 rows skipped because they do not have the header's 3 "
      "fields (lines 3 and 4).",
      ImportSummary(result));
}

// Without a header the rows decide the width: the count most of the first rows have.
TEST(CsvImport, WithoutHeaderMostRowsDecideTheWidth) {
  const TCsvImportResult result = ImportDetected("1,2,3\n4,5\n6,7\n8,9,0\n1,2\n");
  EXPECT_EQ((TPoints{{4, 5}, {6, 7}, {1, 2}}), PointsOf(result));
  EXPECT_EQ(2u, result.Width);
  EXPECT_EQ(
      "Test data imported: 3 samples; 2 rows skipped because they do not have the 2 fields of "
      "most rows (lines 1 and 4).",
      ImportSummary(result));
  const TCsvImportSettings settings{
      {',', '.', true}, {TColumnChoice::ByNumber(1)}, TColumnChoice::ByNumber(2), {}};
  EXPECT_EQ("None of the 2 rows has the header's 2 fields.", ErrorOf("x,y\n1,2,3\n4\n", settings));
  EXPECT_EQ("The 1 row does not have the header's 2 fields.", ErrorOf("x,y\n1,2,3\n", settings));
}

// The text and a sample of every row must fit the memory given, before any row is kept.
TEST(CsvImport, MoreThanTheMemoryIsRefusedWithItsFigures) {
  const TCsvImportSettings settings{
      {',', '.', true}, {TColumnChoice::ByNumber(1)}, TColumnChoice::ByNumber(2), {}};
  std::string text = "x,y\n";
  for (int i = 0; i < 1000; ++i)
    text += std::to_string(i) + ",1\n";
  const std::uint64_t needed = text.size() + 1000 * 2 * sizeof(double);
  EXPECT_EQ(1000,
            ImportCsv(text, settings, MaxImportRows, TMemoryLimit{needed, TMemoryLimit::Physical})
                .Samples.Count());
  try {
    (void)ImportCsv(text, settings, MaxImportRows,
                    TMemoryLimit{needed - 1, TMemoryLimit::AddressSpace});
    FAIL() << "no error";
  } catch (const TImportError& error) {
    EXPECT_EQ("Its text and its 1000 rows of 2 values need " + FormatBytes(needed) +
                  " of memory, more than the " + FormatBytes(needed - 1) +
                  " this process may use (its address-space limit).",
              std::string(error.what()));
  }
}

TEST(CsvImport, Summaries) {
  TCsvImportResult result;
  result.Samples.SetCount(1000);
  EXPECT_EQ("Test data imported: 1000 samples; no rows skipped.", ImportSummary(result));
  result.Skipped = 1;
  result.SkippedLines = {4};
  EXPECT_EQ(
      "Test data imported: 1000 samples; 1 row skipped because a chosen cell is not a number "
      "(line 4).",
      ImportSummary(result));
  result.Skipped = 2;
  result.SkippedLines = {4, 9};
  EXPECT_EQ(
      "Test data imported: 1000 samples; 2 rows skipped because a chosen cell is not a number "
      "(lines 4 and 9).",
      ImportSummary(result));
}

TEST(CsvImport, ErrorsSayWhy) {
  const TCsvDialect header{',', '.', true};
  const auto byNumber = TColumnChoice::ByNumber;
  EXPECT_EQ("The file holds no rows of data.",
            ErrorOf("x,y\n\n , \n", Settings(header, byNumber(1), byNumber(2))));
  EXPECT_EQ("The file holds no rows of data.",
            ErrorOf("", Settings(header, byNumber(1), byNumber(2))));
  EXPECT_EQ("There is no column 3: the widest row has 2 columns.",
            ErrorOf("x,y\n1,2\n", Settings(header, byNumber(1), byNumber(3))));
  EXPECT_EQ("None of the 2 rows has numbers in both column 1 and column \"y\".",
            ErrorOf("x,y\na,2\n1,b\n", Settings(header, byNumber(1), TColumnChoice::ByName("y"))));
  EXPECT_EQ("No column is named \"z\". The header holds \"x\", \"y\".",
            ErrorOf("x,y\n1,2\n", Settings(header, byNumber(1), TColumnChoice::ByName("z"))));
  EXPECT_NE("no error", ErrorOf("x,y\n1,2\n", Settings({',', '.', false},
                                                       TColumnChoice::ByName("x"), byNumber(2))));
}

TEST(CsvImport, IntoASampleSetWithTightBounds) {
  TSampleData samples = MakeSet({{-100, -100}, {100, 100}, {7, 7}});
  ImportCsv("5;6\n1;-2\n",
            {{';', ',', false}, {TColumnChoice::ByNumber(1)}, TColumnChoice::ByNumber(2), {}},
            samples);
  ExpectRows({{5, 6}, {1, -2}}, samples);
  EXPECT_EQ(1, samples.MinX());
  EXPECT_EQ(5, samples.MaxX());
  EXPECT_EQ(-2, samples.MinY());
  EXPECT_EQ(6, samples.MaxY());
}

TEST(CsvImport, FailedImportLeavesTheSetAlone) {
  TSampleData samples = MakeSet({{1, 2}});
  EXPECT_THROW(
      ImportCsv("a,b\n",
                {{',', '.', false}, {TColumnChoice::ByNumber(1)}, TColumnChoice::ByNumber(2), {}},
                samples),
      TImportError);
  ExpectRows({{1, 2}}, samples);
}

// More rows than a set can hold are refused, however the limit is set; skipped and blank
// rows do not count. An error of a file's import names the file.
TEST(CsvImport, RowsBeyondTheLimitAreRefusedNamingTheFile) {
  const TCsvImportSettings settings{
      {',', '.', false}, {TColumnChoice::ByNumber(1)}, TColumnChoice::ByNumber(2), {}};
  const std::string text = "1,2\n\nx,y\n3,4\n5,6\n";
  EXPECT_EQ(3u, static_cast<std::size_t>(ImportCsv(text, settings, 3).Samples.Count()));
  const std::string path = "rows.csv";
  try {
    (void)ImportCsvFile(path, text + "7,8\n", settings, 3);
    FAIL() << "no error";
  } catch (const TImportError& error) {
    EXPECT_EQ("Cannot import file \"" + (std::filesystem::current_path() / path).string() +
                  "\". It has more than 3 rows of data, more than a sample set can hold.",
              std::string(error.what()));
  }
  try {
    (void)ImportCsvFile(path, "\n\n", settings);
    FAIL() << "no error";
  } catch (const TImportError& error) {
    EXPECT_NE(std::string::npos,
              std::string(error.what()).find("rows.csv\". The file holds no rows"))
        << error.what();
  }
}

TEST(CsvImport, PreviewShowsTheFirstRowsAndWhichAreRead) {
  const std::string text = "time;value;note\n\n1,5;2;a\nx;3;c\n;\n4;5;b;extra\n6;7\n";
  const TCsvPreview preview = PreviewCsv(
      text, {{';', ',', true}, {TColumnChoice::ByName("time")}, TColumnChoice::ByNumber(2), {}}, 3);
  EXPECT_EQ((std::vector<std::string>{"time", "value", "note"}), preview.Header);
  ASSERT_EQ(3u, preview.Rows.size());
  EXPECT_EQ((std::vector<std::string>{"1,5", "2", "a"}), preview.Rows[0]);
  EXPECT_EQ((std::vector<std::string>{"4", "5", "b", "extra"}), preview.Rows[2]);
  EXPECT_EQ((std::vector<bool>{true, false, false}), preview.Readable);
  EXPECT_EQ((std::vector<std::string>{"", "a chosen cell is not a number",
                                      "the row does not have the header's 3 fields"}),
            preview.Skipped);
  EXPECT_EQ("a chosen cell is not a number, or the row does not have the header's 3 fields",
            SkippedReasons(preview));
  EXPECT_EQ(4, preview.Columns);
  EXPECT_EQ("", preview.ColumnError);

  const TCsvPreview missing = PreviewCsv(
      text, {{';', ',', true}, {TColumnChoice::ByName("speed")}, TColumnChoice::ByNumber(2), {}},
      3);
  EXPECT_NE("", missing.ColumnError);
  EXPECT_EQ((std::vector<bool>{false, false, false}), missing.Readable);
}

TEST(CsvImport, AMillionRows) {
  std::string text = "index;x;y;label\r\n";
  text.reserve(40'000'000);
  for (int i = 0; i < 1'000'000; ++i) {
    const std::string row = std::to_string(i);
    text +=
        row + ';' + row + ",25;-" + row + ",5;" + (i % 1000 == 999 ? "\"n/a;\"\"\"\r\n" : "ok\r\n");
    if (i % 100'000 == 77) text += row + ";oops;1;x\r\n";
  }
  const auto start = std::chrono::steady_clock::now();
  const TCsvImportResult result = ImportDetected(text);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(1'000'000, result.Samples.Count());
  EXPECT_EQ(10, result.Skipped);
  EXPECT_EQ(0.25, result.Samples.GetX(0));
  EXPECT_EQ(-0.5, result.Samples.GetY(0));
  EXPECT_EQ(999'999.25, result.Samples.GetX(999'999));
  EXPECT_EQ(-999'999.5, result.Samples.GetY(999'999));
  EXPECT_EQ((std::vector<std::string>{"x"}), result.XNames);
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
  // Linear, and far from the limit on any machine that runs the tests (about 0.3 s here);
  // an unoptimised build with the sanitizers takes half a minute.
  EXPECT_LT(elapsed, std::chrono::seconds(20));
#else
  (void)elapsed;
#endif
}

TEST(CsvImport, SeveralInputsByNameOrNumberInTheOrderChosen) {
  const std::string text = "id;a;b;c;y\n1;10;20;30;5\n2;11;21;31;6\n";
  const TCsvDialect dialect{';', ',', true};
  TCsvImportSettings settings{dialect,
                              {TColumnChoice::ByName("c"), TColumnChoice::ByNumber(2)},
                              TColumnChoice::ByName("y"),
                              {}};
  const TCsvImportResult result = ImportCsv(text, settings);
  const TSampleData& samples = result.Samples;
  ASSERT_EQ(2, samples.InputCount());
  ASSERT_EQ(2, samples.Count());
  EXPECT_EQ(31, samples.GetX(1, 0));
  EXPECT_EQ(11, samples.GetX(1, 1));
  EXPECT_EQ(6, samples.GetY(1));
  EXPECT_EQ((std::vector<std::string>{"c", "a", "y"}), samples.Names());
  EXPECT_EQ((std::vector<std::string>{"c", "a"}), result.XNames);
  // Without a header the set has no names.
  settings.Dialect.Header = false;
  settings.X = {TColumnChoice::ByNumber(2), TColumnChoice::ByNumber(3)};
  settings.Y = TColumnChoice::ByNumber(5);
  EXPECT_TRUE(ImportCsv("1;10;20;30;5\n", settings).Samples.Names().empty());
}

TEST(CsvImport, MoreThanTwoColumnsOfNumbersAreInputsAndY) {
  const TCsvImportResult pendulum =
      ImportDetected("length,amplitude,mass,period\n1,0.1,2,2.0\n2,0.2,3,2.8\n");
  ASSERT_EQ(3, pendulum.Samples.InputCount());
  EXPECT_EQ((std::vector<std::string>{"length", "amplitude", "mass", "period"}),
            pendulum.Samples.Names());
  EXPECT_EQ(2.8, pendulum.Samples.GetY(1));
  // A leading row index is no input; a first input that counts under its own name is one.
  const TCsvImportSettings indexed = DetectCsvImport("index,a,b,y\n1,5,7,9\n2,6,8,3\n3,1,1,1\n");
  EXPECT_EQ((std::vector<TColumnChoice>{TColumnChoice::ByNumber(2), TColumnChoice::ByNumber(3)}),
            indexed.X);
  const TCsvImportSettings counting = DetectCsvImport("t,b,y\n1,5,9\n2,6,3\n3,1,1\n");
  EXPECT_EQ((std::vector<TColumnChoice>{TColumnChoice::ByNumber(1), TColumnChoice::ByNumber(2)}),
            counting.X);
  EXPECT_EQ(TColumnChoice::ByNumber(3), counting.Y);
}

TEST(CsvImport, ColumnsGivenAloneTakeTheRestFromDetection) {
  const std::string text = "a,b,c,d\n1,2,3,4\n5,6,7,8\n";
  const TCsvImportSettings detected = DetectCsvImport(text);
  using C = TColumnChoice;
  // y alone: every other column of numbers is an input.
  TCsvImportSettings y = ChooseColumns(text, detected, {}, C::ByName("b"));
  EXPECT_EQ((std::vector<C>{C::ByNumber(1), C::ByNumber(3), C::ByNumber(4)}), y.X);
  // Inputs alone: y as detected, or the last other column of numbers when it is an input.
  TCsvImportSettings x = ChooseColumns(text, detected, {C::ByName("a")}, std::nullopt);
  EXPECT_EQ(C::ByNumber(4), x.Y);
  x = ChooseColumns(text, detected, {C::ByNumber(4), C::ByName("a")}, std::nullopt);
  EXPECT_EQ(C::ByNumber(3), x.Y);
  EXPECT_THROW((void)ChooseColumns(text, detected,
                                   {C::ByNumber(1), C::ByNumber(2), C::ByNumber(3), C::ByNumber(4)},
                                   std::nullopt),
               TImportError);
  EXPECT_THROW((void)ChooseColumns(text, detected, {}, C::ByName("e")), TImportError);
}

TEST(CsvImport, ColumnChoicesThatCannotMakeASetSayWhy) {
  const std::string text = "a,b,,b,y\n1,2,3,4,5\n";
  const TCsvDialect dialect{',', '.', true};
  using C = TColumnChoice;
  const auto error = [&](std::vector<C> x, C y) { return ErrorOf(text, {dialect, x, y, {}}); };
  EXPECT_EQ("Column \"a\" is chosen as an input twice.",
            error({C::ByNumber(1), C::ByName("a")}, C::ByNumber(5)));
  EXPECT_EQ("Column 5 is chosen as an input and as y.", error({C::ByNumber(5)}, C::ByName("y")));
  EXPECT_EQ("The header gives column 3 no name.", error({C::ByNumber(3)}, C::ByNumber(5)));
  EXPECT_EQ("Columns 2 and 4 have the same name in the header, \"b\".",
            error({C::ByNumber(2), C::ByNumber(4)}, C::ByNumber(5)));
  EXPECT_EQ("No column is chosen as an input.", error({}, C::ByNumber(5)));
  std::vector<C> many;
  for (std::int32_t k = 1; k <= 17; ++k)
    many.push_back(C::ByNumber(k));
  EXPECT_EQ("17 columns are chosen as inputs; a sample set takes at most 16.",
            error(many, C::ByNumber(18)));
}

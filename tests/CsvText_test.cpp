#include "import/CsvText.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "import/ImportError.h"
#include "exchange/SampleFileError.h"

using namespace std::string_literals;

TEST(CsvText, DropsTheUtf8Mark) {
  EXPECT_EQ("x,y\r\n1,2", DecodeCsvText("\xEF\xBB\xBFx,y\r\n1,2"));
  EXPECT_EQ("", DecodeCsvText("\xEF\xBB\xBF"));
  EXPECT_EQ("x\xEF\xBB\xBF", DecodeCsvText("x\xEF\xBB\xBF"));  // only at the start
}

TEST(CsvText, TakesTextWithoutMarkAsItIs) {
  EXPECT_EQ("\xe9t\xe9;1", DecodeCsvText("\xe9t\xe9;1"));
  EXPECT_EQ("", DecodeCsvText(""));
}

TEST(CsvText, ConvertsUtf16) {
  // "é\t1\r\n" and a character beyond the basic plane (U+1F600).
  EXPECT_EQ("\xC3\xA9\t1\r\n\xF0\x9F\x98\x80", DecodeCsvText("\xFF\xFE\xE9\x00\t\x00"
                                                             "1\x00\r\x00\n\x00\x3D\xD8\x00\xDE"s));
  EXPECT_EQ("\xC3\xA9\t1", DecodeCsvText("\xFE\xFF\x00\xE9\x00\t\x00"
                                         "1"s));
  // An unpaired surrogate and an odd last byte become U+FFFD.
  EXPECT_EQ(
      "\xEF\xBF\xBD"
      "a\xEF\xBF\xBD",
      DecodeCsvText("\xFF\xFE\x00\xDC"
                    "a\x00\x01"s));
}

TEST(CsvText, RefusesUtf32) {
  EXPECT_THROW((void)DecodeCsvText("\xFF\xFE\x00\x00"
                                   "1\x00\x00\x00"s),
               TImportError);
}

TEST(CsvText, ReadsFilesAndReportsMissingOnes) {
  const auto path = std::filesystem::temp_directory_path() / "movar-csvtext-test.csv";
  std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBFx;y\r\n1,5;2\r\n";
  EXPECT_EQ("x;y\r\n1,5;2\r\n", ReadCsvFile(path.string()));
  std::filesystem::remove(path);
  try {
    (void)ReadCsvFile(path.string());
    FAIL() << "a missing file was read";
  } catch (const TSampleFileError& error) {
    EXPECT_EQ(0, std::string(error.what()).find("Cannot open file \""));
  }
}

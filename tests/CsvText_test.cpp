#include "import/CsvText.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "import/CsvBytes.h"
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

namespace {

// The text of blocks fed one by one, cut at every size from 1 to 7 bytes.
std::string FedInBlocks(const std::string& bytes, std::size_t size) {
  TCsvBytes fed;
  for (std::size_t at = 0;
       at < bytes.size() && fed.Append(std::string_view(bytes).substr(at, size)); at += size) {
  }
  return std::move(fed).Text();
}

}  // namespace

// The text ends at the first NUL; in UTF-16 at the first NUL code unit, never at the zero
// byte of a character. However the blocks fall, the text is the same.
// A file larger than the memory given is refused by its size, before it is read.
TEST(CsvText, AFileLargerThanTheMemoryIsRefusedUnread) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "movar-large.csv";
  std::ofstream(path, std::ios::binary) << "x,y\n1,2\n";
  const TMemoryLimit small{7, TMemoryLimit::Physical};
  try {
    (void)ReadCsvFile(path.string(), small);
    ADD_FAILURE() << "no error";
  } catch (const TImportError& error) {
    EXPECT_EQ("Cannot import file \"" + path.string() +
                  "\". Its text needs 8 bytes of memory, more than the 7 bytes this computer has.",
              std::string(error.what()));
  }
  EXPECT_EQ("x,y\n1,2\n", ReadCsvFile(path.string(), TMemoryLimit{8, TMemoryLimit::Physical}));
  EXPECT_EQ("x,y\n1,2\n", ReadCsvFile(path.string(), std::nullopt));
  std::filesystem::remove(path);
}

TEST(CsvText, EndsAtTheFirstNulWhereverTheBlocksFall) {
  const struct {
    std::string Bytes;
    std::string Text;
  } rows[] = {
      {"1,2\n3,4\0garbage"s, "1,2\n3,4"},
      {"\0\0\0"s, ""},
      {"x"s, "x"},
      {"\xEF\xBB\xBF"
       "1;2\0"s,
       "1;2"},
      {"\xFF\xFE"
       "1\0,\0"
       "2\0\0\0"
       "3\0"s,
       "1,2"},
      {"\xFE\xFF\0"
       "1\0,\0"
       "2\0\0\0"
       "3"s,
       "1,2"},
      {"\xFF\xFE\0\x01\0\0"s, "\xC4\x80"},  // U+0100, then NUL
  };
  for (const auto& row : rows) {
    for (std::size_t size = 1; size <= 7; ++size)
      EXPECT_EQ(row.Text, FedInBlocks(row.Bytes, size)) << size << " " << row.Text;
  }
  EXPECT_THROW((void)FedInBlocks("\0\0\xFE\xFF\0\0\0"
                                 "1"s,
                                 1),
               TImportError);
}

// Once the text has ended no block is wanted: an endless device is read no further.
TEST(CsvText, EndlessDevicesAreReadOnlyToTheirFirstNul) {
  TCsvBytes zeros;
  EXPECT_FALSE(zeros.Append(std::string(4096, '\0')));
  EXPECT_FALSE(zeros.Append("1,2\n"));
  EXPECT_EQ("", std::move(zeros).Text());
#ifdef __unix__
  for (const char* device : {"/dev/zero", "/dev/urandom"}) {
    if (!std::filesystem::exists(device)) continue;
    const std::string text = ReadCsvFile(device);
    EXPECT_LT(text.size(), std::size_t{1} << 22) << device;
    EXPECT_EQ(std::string::npos, text.find('\0')) << device;
  }
#endif
}

TEST(CsvText, Utf32ErrorNamesTheFile) {
  const auto path = std::filesystem::temp_directory_path() / "movar-csvtext-utf32.csv";
  std::ofstream(path, std::ios::binary) << "\xFF\xFE\0\0"
                                           "1\0\0\0"s;
  try {
    (void)ReadCsvFile(path.string());
    FAIL() << "UTF-32 was read";
  } catch (const TImportError& error) {
    EXPECT_EQ("Cannot import file \"" + path.string() +
                  "\". UTF-32 text cannot be imported; save the file as UTF-8 or UTF-16.",
              std::string(error.what()));
  }
  std::filesystem::remove(path);
}

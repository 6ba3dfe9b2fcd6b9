#include "exchange/SampleFile.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#ifdef __unix__
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/model/Random.h"
#include "tests/SampleTesting.h"
#include "exchange/TextFile.h"
#include "exchange/TextFileReader.h"

namespace fs = std::filesystem;

namespace {

class SampleFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("movar-samplefile-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string PathOf(const char* name) const { return (folder_ / name).string(); }

  std::string Write(const char* name, const std::string& content) const {
    std::ofstream(PathOf(name), std::ios::binary) << content;
    return PathOf(name);
  }

  static std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }

  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {}));
  }

  fs::path folder_;
};

}  // namespace

// Blank lines are no rows and a first line of names is the header; every other line that
// does not read as two numbers is counted with its line, and left out or loaded as (0, 0).
TEST_F(SampleFile, ReadsLinesAsPairs) {
  using TNames = std::vector<std::string>;
  const struct {
    std::string Text;
    std::initializer_list<TSamplePoint> Left;
    std::initializer_list<TSamplePoint> AsZero;
    std::vector<std::int64_t> Lines;
    TNames Header;
  } rows[] = {
      {"", {}, {}, {}, {}},
      {"1.5,2.5", {{1.5, 2.5}}, {{1.5, 2.5}}, {}, {}},
      {"1.5,2.5\r\n\r\n \t\r\n", {{1.5, 2.5}}, {{1.5, 2.5}}, {}, {}},
      {"1.5 2.5\n1.5\t2.5\n1.5 , 2.5",
       {{1.5, 2.5}, {1.5, 2.5}, {1.5, 2.5}},
       {{1.5, 2.5}, {1.5, 2.5}, {1.5, 2.5}},
       {},
       {}},
      // The first line that reads holds three numbers: two inputs (x1 = 1) and y = 3.
      {"1.5;2.5\n7\nx,y\n1,2,3", {{1, 3}}, {{0, 0}, {0, 0}, {0, 0}, {1, 3}}, {1, 2, 3}, {}},
      {"1,2\n\r3,4", {{1, 2}, {3, 4}}, {{1, 2}, {3, 4}}, {}, {}},
      {std::string("1,2\r\n3,4\0\r\n5,6\r\n", 15), {{1, 2}, {3, 4}}, {{1, 2}, {3, 4}}, {}, {}},
      {"\"1\",\"2\"\r\n\"3,4", {{1, 2}}, {{1, 2}, {0, 0}}, {2}, {}},
      {"\r\n \r\ntime, value\r\n1,2\r\n\r\n3,4\r\n",
       {{1, 2}, {3, 4}},
       {{1, 2}, {3, 4}},
       {},
       {"time", "value"}},
      {"x,y\r\n1,2\r\nx,y\r\n", {{1, 2}}, {{1, 2}, {0, 0}}, {3}, {"x", "y"}},
  };
  for (const auto& row : rows) {
    const std::string path = Write("rows.mvs", row.Text);
    for (const TUnreadableChoice choice : {TUnreadableChoice::Leave, TUnreadableChoice::AsZero}) {
      TSampleRead read = ReadSampleFile(path);
      EXPECT_EQ(row.Lines, read.UnreadableLines()) << row.Text;
      EXPECT_EQ(row.Header, read.Header()) << row.Text;
      TSampleData samples = MakeSet({{9, 9}});
      std::move(read).MoveInto(samples, choice);
      ExpectRows(choice == TUnreadableChoice::Leave ? row.Left : row.AsZero, samples);
    }
    TSampleData samples = MakeSet({{9, 9}});
    EXPECT_EQ(static_cast<std::int32_t>(row.Lines.size()), LoadFromFile(samples, path));
    ExpectRows(row.Left, samples);
  }
}

TEST_F(SampleFile, WritesCommaJoinedLinesQuotedUnderCommaSeparator) {
  const TSampleData samples = MakeSet({{1, 0.8414709848078965}, {-0.5, 1.5e20}});
  SaveToFile(samples, PathOf("dot.mvs"));
  EXPECT_EQ("1.00000000,0.84147098\r\n-0.50000000,1.5E20\r\n", Read(PathOf("dot.mvs")));
  const TSeparator comma(",");
  SaveToFile(samples, PathOf("comma.mvs"));
  EXPECT_EQ("\"1,00000000\",\"0,84147098\"\r\n\"-0,50000000\",\"1,5E20\"\r\n",
            Read(PathOf("comma.mvs")));
  SaveToFile(TSampleData(), PathOf("empty.mvs"));
  EXPECT_EQ("", Read(PathOf("empty.mvs")));
}

TEST_F(SampleFile, SaveThenLoadReproducesTheRoundedSet) {
  for (const char* separator : {".", ","}) {
    const TSeparator guard(separator);
    const TSampleData original =
        MakeSet({{0.1, 2.0 / 3}, {-1e20, 123456789.123456789}, {2.5e-9, -1.0 / 3e7}});
    SaveToFile(original, PathOf("round.mvs"));
    TSampleData loaded;
    EXPECT_EQ(0, LoadFromFile(loaded, PathOf("round.mvs"))) << separator;
    // Small values are kept whole, not rounded to 8 decimals.
    ExpectRows({{0.1, 0.66666667}, {-1e20, 123456789.1234568}, {2.5e-9, -1.0 / 3e7}}, loaded);
  }
}

TEST_F(SampleFile, OtherSeparatorReadsNothingAndSaysSo) {
  {
    const TSeparator comma(",");
    SaveToFile(MakeSet({{1, 0.5}, {2, 0.25}}), PathOf("comma.mvs"));
  }
  TSampleData samples;
  EXPECT_EQ(2, LoadFromFile(samples, PathOf("comma.mvs")));
  EXPECT_EQ(0, samples.Count());
}

TEST_F(SampleFile, LoadLeavesBoundsTightAroundTheFile) {
  TSampleData samples = MakeSet({{0, 0}, {1, 0.84}, {-50, 90}});
  ASSERT_EQ(0, LoadFromFile(samples, Write("two.mvs", "10,20\r\n11,21\r\n")));
  EXPECT_EQ(10, samples.MinX());
  EXPECT_EQ(11, samples.MaxX());
  EXPECT_EQ(20, samples.MinY());
  EXPECT_EQ(21, samples.MaxY());
  // With the stale bound 0 a prediction of 19 would have matched the sample 20.
  EXPECT_FALSE(samples.WithinMargin(0, 19));
}

TEST_F(SampleFile, MissingFileNamesItsFullPathAndKeepsTheSet) {
  TSampleData samples = MakeSet({{1, 2}});
  const fs::path relative = fs::relative(folder_ / "missing.mvs");
  try {
    LoadFromFile(samples, relative.string());
    FAIL() << "no error";
  } catch (const TSampleFileError& error) {
    EXPECT_EQ("Cannot open file \"" + PathOf("missing.mvs") + "\". No such file or directory",
              std::string(error.what()));
  }
  EXPECT_THROW(LoadFromFile(samples, folder_.string()), TSampleFileError);
  ExpectRows({{1, 2}}, samples);
  EXPECT_EQ(2, samples.MaxY());
}

TEST_F(SampleFile, FailedSaveKeepsTheOldFileAndLeavesNoTemporary) {
  const std::string old = Write("keep.mvs", "old");
  fs::create_directory(folder_ / "folder.mvs");
  const TSampleData samples = MakeSet({{1, 2}});
  try {
    SaveToFile(samples, PathOf("folder.mvs"));
    FAIL() << "no error";
  } catch (const TSampleFileError& error) {
    EXPECT_EQ(
        0u,
        std::string(error.what()).rfind("Cannot create file \"" + PathOf("folder.mvs") + "\". ", 0))
        << error.what();
  }
  EXPECT_THROW(SaveToFile(samples, PathOf("no-such-folder/x.mvs")), TSampleFileError);
  EXPECT_EQ("old", Read(old));
  EXPECT_EQ(2u, FilesInFolder());
  EXPECT_TRUE(fs::is_directory(folder_ / "folder.mvs"));
}

TEST_F(SampleFile, SaveReplacesAnExistingFileWhole) {
  const std::string path = Write("over.mvs", std::string(1000, 'x'));
  SaveToFile(MakeSet({{1, 2}}), path);
  EXPECT_EQ("1.00000000,2.00000000\r\n", Read(path));
  EXPECT_EQ(1u, FilesInFolder());
}

#ifdef __unix__
// A file size limit makes the write itself fail, as a full disk would.
TEST_F(SampleFile, WriteErrorKeepsTheOldFileAndLeavesNoTemporary) {
  const std::string path = Write("full.mvs", "old");
  TSampleData samples(1000);
  rlimit saved{};
  ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
  std::string what;
  try {
    SaveToFile(samples, path);
  } catch (const TSampleFileError& error) {
    what = error.what();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ("Stream write error \"" + path + "\". File too large", what);
  EXPECT_EQ("old", Read(path));
  EXPECT_EQ(1u, FilesInFolder());
}
#endif

#ifdef __unix__
// Saving to a pipe writes into it; a rename would have left a plain file in its place.
TEST_F(SampleFile, SaveWritesIntoAPipeInsteadOfReplacingIt) {
  const std::string pipe = PathOf("pipe.mvs");
  ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  SaveToFile(MakeSet({{1, 2}}), pipe);
  char buffer[64] = {};
  const ssize_t read = ::read(reader, buffer, sizeof buffer);
  ::close(reader);
  EXPECT_EQ("1.00000000,2.00000000\r\n", std::string(buffer, read > 0 ? read : 0));
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_EQ(1u, FilesInFolder());
}

// A full device: the error names the file and says why.
TEST_F(SampleFile, FullDeviceNamesTheFileAndTheReason) {
  try {
    SaveToFile(MakeSet({{1, 2}}), "/dev/full");
    FAIL() << "no error";
  } catch (const TSampleFileError& error) {
    EXPECT_EQ("Stream write error \"/dev/full\". No space left on device",
              std::string(error.what()));
  }
}

// The link stays a link and its target gets the samples, also when the target does not
// exist yet or is reached through another link.
TEST_F(SampleFile, SaveThroughALinkWritesItsTarget) {
  fs::create_directory(folder_ / "sub");
  Write("sub/old.mvs", "old");
  fs::create_symlink("sub/old.mvs", folder_ / "relative.mvs");
  fs::create_symlink("relative.mvs", folder_ / "chain.mvs");
  fs::create_symlink(folder_ / "sub" / "new.mvs", folder_ / "dangling.mvs");
  for (const char* link : {"relative.mvs", "chain.mvs", "dangling.mvs"}) {
    SaveToFile(MakeSet({{1, 2}}), PathOf(link));
    EXPECT_TRUE(fs::is_symlink(folder_ / link)) << link;
    EXPECT_EQ("1.00000000,2.00000000\r\n", Read(PathOf(link))) << link;
  }
  EXPECT_EQ("1.00000000,2.00000000\r\n", Read(PathOf("sub/new.mvs")));
  EXPECT_EQ(2, std::distance(fs::directory_iterator(folder_ / "sub"), {}));
}

// A save killed midway (here by the file size limit's signal) leaves its temporary, with
// no more than the target's permissions; the next save removes it, and only ours.
TEST_F(SampleFile, KilledSaveLeavesAPrivateTemporaryThatTheNextSaveRemoves) {
  const std::string path = Write("private.mvs", "old");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  Write("private.mvs.~7.tmp", "stale");
  Write("private.mvs.~x.tmp", "not ours");
  Write("other.mvs.~0.tmp", "not ours");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit small{100, 100};
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::signal(SIGXFSZ, SIG_DFL);
    SaveToFile(TSampleData(1000), path);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
  EXPECT_EQ("old", Read(path));
  const fs::path left = folder_ / "private.mvs.~0.tmp";
  ASSERT_TRUE(fs::exists(left));
  EXPECT_EQ(fs::perms::none,
            fs::status(left).permissions() & (fs::perms::group_all | fs::perms::others_all));

  SaveToFile(MakeSet({{1, 2}}), path);
  EXPECT_EQ("1.00000000,2.00000000\r\n", Read(path));
  EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write, fs::status(path).permissions());
  EXPECT_FALSE(fs::exists(left));
  EXPECT_FALSE(fs::exists(folder_ / "private.mvs.~7.tmp"));
  EXPECT_TRUE(fs::exists(folder_ / "private.mvs.~x.tmp"));
  EXPECT_TRUE(fs::exists(folder_ / "other.mvs.~0.tmp"));
}

// A temporary that another save holds is being written, not stale.
TEST_F(SampleFile, TemporaryInUseIsLeftAlone) {
  const std::string path = Write("busy.mvs", "old");
  const std::string busy = Write("busy.mvs.~0.tmp", "half");
  const int descriptor = ::open(busy.c_str(), O_RDONLY);
  ASSERT_GE(descriptor, 0);
  ASSERT_EQ(0, ::flock(descriptor, LOCK_EX));
  SaveToFile(MakeSet({{1, 2}}), path);
  ::close(descriptor);
  EXPECT_EQ("half", Read(busy));
  EXPECT_EQ("1.00000000,2.00000000\r\n", Read(path));
}

TEST_F(SampleFile, ReadOnlyFileIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  const std::string path = Write("locked.mvs", "old");
  fs::permissions(path, fs::perms::owner_read);
  EXPECT_THROW(SaveToFile(MakeSet({{1, 2}}), path), TSampleFileError);
  fs::permissions(path, fs::perms::owner_all);
  EXPECT_EQ("old", Read(path));
  EXPECT_EQ(1u, FilesInFolder());
}
#endif

// Loading reads in blocks: every way a line, a CR LF or a NUL can fall across a block's
// end gives the rows that the whole text gives at once.
TEST_F(SampleFile, BlockwiseLoadingMatchesTheWholeText) {
  constexpr std::size_t Block = TTextFileReader::BlockSize;
  const std::string line = "1.5,-2.25";
  std::vector<std::string> texts;
  for (const char* brk : {"\r\n", "\n\r", "\r", "\n"}) {
    for (std::size_t shift = 0; shift < 4; ++shift) {
      // One padded line, so that the next line starts shift + line.size() bytes before the end.
      std::string text = "0,7";
      text.resize(Block - line.size() - shift - 2, ' ');
      text += "\r\n";
      text += line + brk + line + "\r\n";
      texts.push_back(text);
    }
  }
  texts.push_back(std::string(Block * 2 + 17, '5') + ",3\n4,6");    // longer than a block
  texts.push_back(std::string(Block - 2, '\n') + "x,y\n1,2\nz\n");  // a header in block two
  std::string late(Block + 10, '\n');
  late[Block + 3] = '\0';  // a NUL in the second block ends the text there
  texts.push_back(late + "1,2\n");
  late[Block + 3] = '\n';
  late[Block] = '\0';  // at the very start of the second block
  texts.push_back(late);
  texts.push_back(std::string(Block - 1, '\n') + "\r\n\r");  // CR, block end, LF
  for (const std::string& text : texts) {
    TSampleRead whole = ParseSampleFileText(text);
    TSampleRead blocks = ReadSampleFile(Write("block.mvs", text));
    ASSERT_EQ(whole.UnreadableLines(), blocks.UnreadableLines());
    ASSERT_EQ(whole.Unreadable(), blocks.Unreadable());
    TSampleData all;
    TSampleData read;
    std::move(whole).MoveInto(all, TUnreadableChoice::AsZero);
    std::move(blocks).MoveInto(read, TUnreadableChoice::AsZero);
    ASSERT_EQ(all.Count(), read.Count());
    for (std::int32_t i = 0; i < read.Count(); ++i) {
      ASSERT_EQ(all.GetX(i), read.GetX(i)) << "row " << i;
      ASSERT_EQ(all.GetY(i), read.GetY(i)) << "row " << i;
    }
  }
}

TEST_F(SampleFile, TooManyLinesAreRefused) {
  // Blank lines and the header are no rows: four rows, under a limit of three and four.
  const std::string path = Write("four.mvs", "x,y\n\n1,2\n3,4\n\n5,6\n7,8\n\n");
  try {
    (void)ReadSampleFile(path, 3);
    FAIL() << "no error";
  } catch (const TSampleFileError& error) {
    EXPECT_EQ("Cannot open file \"" + path + "\". It has more than 3 lines, more than a " +
                  "sample set can hold",
              std::string(error.what()));
  }
  TSampleData samples;
  ReadSampleFile(path, 4).MoveInto(samples, TUnreadableChoice::Leave);
  ExpectRows({{1, 2}, {3, 4}, {5, 6}, {7, 8}}, samples);
  EXPECT_EQ(7, samples.MaxX());
}

#ifdef __unix__
// The text ends at its first NUL: an endless device of NULs loads at once as no rows.
TEST_F(SampleFile, EndlessNulDeviceLoadsEmpty) {
  TSampleData samples = MakeSet({{1, 2}});
  EXPECT_EQ(0, LoadFromFile(samples, "/dev/zero"));
  EXPECT_EQ(0, samples.Count());
}

// A pipe cannot be read twice; it loads all the same, and its limit holds too.
TEST_F(SampleFile, PipeLoadsOnceWithItsLimit) {
  const std::string pipe = PathOf("pipe.mvs");
  ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));
  const auto feed = [&pipe](const std::string& text) {
    return std::thread([pipe, text] { std::ofstream(pipe, std::ios::binary) << text; });
  };
  std::thread writer = feed("1,2\r\nx\r\n\r\n3,4");
  TSampleRead read = ReadSampleFile(pipe);
  writer.join();
  EXPECT_EQ(std::vector<std::int64_t>{2}, read.UnreadableLines());
  TSampleData samples;
  std::move(read).MoveInto(samples, TUnreadableChoice::AsZero);
  ExpectRows({{1, 2}, {0, 0}, {3, 4}}, samples);
  writer = feed("x,y\n1,2\n\n3,4\n5,6\n");
  EXPECT_THROW((void)ReadSampleFile(pipe, 2), TSampleFileError);
  writer.join();
  writer = feed("x,y\n1,2\n\n3,4\n");
  EXPECT_EQ(2, ReadSampleFile(pipe, 2).Readable());
  writer.join();
}
#endif

// The file text is written without a string per number; it is the text of the lines all
// the same, under any separator, quoting ones included.
TEST(SampleFileText, IsTheLinesEachWithCrLf) {
  TRandomStream random(31);
  TSampleData samples(2000);
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    samples.SetX(i, std::ldexp(random.Real() - 0.5, random.Int(140) - 70));
    samples.SetY(i, i % 7 == 0 ? 0.0 : (random.Real() - 0.5) * 1000);
  }
  samples.SetX(0, 1e300);
  samples.SetY(1, -1.5e20);
  samples.SetX(2, 5e-324);
  for (const char* separator : {".", ",", "\"", " "}) {
    const TSeparator guard(separator);
    std::string lines;
    for (std::int32_t i = 0; i < samples.Count(); ++i)
      lines += FormatSampleLine({samples.GetX(i), samples.GetY(i)}) + "\r\n";
    EXPECT_EQ(lines, FormatSampleFileText(samples)) << separator;
  }
}

namespace {

// Data as measurements and generators give it: every value at least 0.005 in magnitude, or
// exact to 8 decimals, so that the fixed text keeps each within a millionth of itself.
TSampleData OrdinarySamples() {
  TRandomStream random(2024);
  const auto full = [&random] { return random.Real() + random.Real() * 0x1p-32; };
  TSampleData samples(400);
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    TSamplePoint point;
    switch (i % 5) {
      case 0:
        point = {i * 1.0, std::sin(i * 0.37)};
        break;
      case 1:
        point = {full() * 2000 - 1000, std::copysign(0.005 + full() * 0.001, full() - 0.5)};
        break;
      case 2:
        point = {random.Int(100000) / 100.0, -random.Int(100000) / 1e8};
        break;
      case 3:
        point = {std::ldexp(full() + 0.5, random.Int(60)), -full() * 1e20};
        break;
      default:
        point = {0.005 + full(), i % 2 == 0 ? 0.0 : -(0.005 + full() * 0.01)};
        break;
    }
    samples.SetX(i, point.X);
    samples.SetY(i, point.Y);
  }
  return samples;
}

}  // namespace

// Ordinary data is written to the byte as the stored files, under "." and under ",": a file
// of ordinary data is the same text whichever build writes it; only values the fixed text
// would move get more digits.
TEST(SampleFileText, OrdinaryDataIsWrittenAsTheStoredFiles) {
  const TSampleData samples = OrdinarySamples();
  for (const char* separator : {".", ","}) {
    const TSeparator guard(separator);
    const std::string name = separator[0] == '.' ? "ordinary.mvs" : "ordinary-comma.mvs";
    std::ifstream file(std::string(MOVAR_TEST_DATA) + "/" + name, std::ios::binary);
    const std::string stored{std::istreambuf_iterator<char>(file), {}};
    const std::string written = FormatSampleFileText(samples);
    if (written != stored) std::ofstream(name, std::ios::binary) << written;  // to compare by hand
    EXPECT_EQ(stored, written) << name << " differs; the text written is in the test's folder";
  }
}

namespace {

// Rows of n inputs: input k of row i is i * (k + 1) / 8, y their sum; exact in 8 decimals.
TSampleData Wide(std::int32_t inputs, std::int32_t rows) {
  TSampleData samples(rows, inputs);
  for (std::int32_t i = 0; i < rows; ++i) {
    double y = 0;
    for (std::int32_t k = 0; k < inputs; ++k) {
      samples.SetX(i, k, i * (k + 1) / 8.0);
      y += i * (k + 1) / 8.0;
    }
    samples.SetY(i, -y);
  }
  return samples;
}

void ExpectSameRows(const TSampleData& expected, const TSampleData& actual) {
  ASSERT_EQ(expected.InputCount(), actual.InputCount());
  ASSERT_EQ(expected.Count(), actual.Count());
  for (std::int32_t i = 0; i < expected.Count(); ++i) {
    for (std::int32_t k = 0; k < expected.InputCount(); ++k)
      EXPECT_EQ(expected.GetX(i, k), actual.GetX(i, k)) << "row " << i << " input " << k;
    EXPECT_EQ(expected.GetY(i), actual.GetY(i)) << "row " << i;
  }
}

// What a file's text loads as, or the reason it is refused.
std::string RefusalOf(const std::string& text) {
  return ParseSampleFileText(text).Refusal();
}

TSampleData Loaded(const std::string& text) {
  TSampleRead read = ParseSampleFileText(text);
  EXPECT_EQ("", read.Refusal());
  TSampleData samples;
  std::move(read).MoveInto(samples, TUnreadableChoice::Leave);
  return samples;
}

}  // namespace

TEST(SampleFileText, SeveralInputsStartWithTheirNames) {
  TSampleData samples = Wide(2, 2);
  EXPECT_EQ(
      "x1,x2,y\r\n0.00000000,0.00000000,-0.00000000\r\n"
      "0.12500000,0.25000000,-0.37500000\r\n",
      FormatSampleFileText(samples));
  samples.SetNames({"length", "mass kg", "period"});
  EXPECT_TRUE(FormatSampleFileText(samples).starts_with("length,\"mass kg\",period\r\n"));
  // One input with names writes them too; without, nothing but the rows, as ever.
  TSampleData one = MakeSet({{1, 2}});
  EXPECT_EQ("1.00000000,2.00000000\r\n", FormatSampleFileText(one));
  one.SetNames({"t", "v"});
  EXPECT_EQ("t,v\r\n1.00000000,2.00000000\r\n", FormatSampleFileText(one));
}

TEST(SampleFileText, SeveralInputsReadBackWithTheirNames) {
  for (const std::int32_t inputs : {1, 2, 3, 8, 16}) {
    TSampleData samples = Wide(inputs, 30);
    std::vector<std::string> names;
    for (std::int32_t k = 0; k <= inputs; ++k)
      names.push_back("col " + std::to_string(k));
    samples.SetNames(names);
    for (const char* separator : {".", ","}) {
      const TSeparator guard(separator);
      const TSampleData back = Loaded(FormatSampleFileText(samples));
      ExpectSameRows(samples, back);
      EXPECT_EQ(names, back.Names()) << inputs << " inputs, separator " << separator;
    }
  }
  // Unnamed sets of several inputs come back named as written.
  const TSampleData back = Loaded(FormatSampleFileText(Wide(3, 4)));
  EXPECT_EQ((std::vector<std::string>{"x1", "x2", "x3", "y"}), back.Names());
}

TEST(SampleFileText, TheFirstLineOfNumbersDecidesWithoutAHeader) {
  // Three numbers or more: every item; the lines before that did not read are counted.
  TSampleRead read = ParseSampleFileText("note\r\n1,2,3\r\n4 5 6\r\n7,x,9\r\n");
  EXPECT_EQ(2, read.InputCount());
  EXPECT_EQ(2, read.Readable());
  EXPECT_EQ(2, read.Unreadable());
  TSampleData samples;
  std::move(read).MoveInto(samples, TUnreadableChoice::Leave);
  EXPECT_EQ(4, samples.GetX(1, 0));
  EXPECT_EQ(5, samples.GetX(1, 1));
  EXPECT_EQ(6, samples.GetY(1));
  EXPECT_TRUE(samples.Names().empty());
  // Two numbers first: the file of one input it always was, later lines as lenient as ever.
  ExpectRows({{1, 2}, {3, 4}}, Loaded("1,2\r\n3,4,5\r\n"));
  ExpectRows({{1, 2}}, Loaded("x,y\r\n1,2,3\r\n"));
}

TEST(SampleFileText, RowsThatCannotMakeOneSetAreRefused) {
  EXPECT_EQ("Line 3 has 2 items where every line has 3 (2 inputs and y).",
            RefusalOf("1,2,3\r\n\r\n4,5\r\n6,7,8,9\r\n"));
  EXPECT_EQ("Line 2 has 4 items where every line has 3 (2 inputs and y).",
            RefusalOf("a,b,c\r\n1,2,3,4\r\n"));
  std::string wide = "1";
  for (int k = 0; k < 17; ++k)
    wide += ",1";
  EXPECT_EQ("The samples have 17 inputs; a sample set takes at most 16.", RefusalOf(wide + "\r\n"));
  EXPECT_EQ("Columns 1 and 3 have the same name, \"a\".", RefusalOf("a,b,a\r\n1,2,3\r\n"));
  EXPECT_EQ("Columns 1 and 2 have the same name, \"t\".", RefusalOf("t,t\r\n1,2\r\n"));
  EXPECT_EQ("The header gives column 2 no name.", RefusalOf("a,,y\r\n1,2,3\r\n"));
  // A refused text holds no rows, and is not blank.
  const TSampleRead refused = ParseSampleFileText("1,2,3\r\n1,2\r\n");
  EXPECT_EQ(0, refused.Rows());
  EXPECT_FALSE(refused.Blank());
}

TEST_F(SampleFile, RefusedFileNamesItselfAndTheLineAndKeepsTheSet) {
  const std::string path = Write("ragged.mvs", "x1,x2,y\r\n1,2,3\r\n4,5,6\r\n7,8\r\n");
  TSampleData samples = MakeSet({{9, 9}});
  try {
    (void)LoadFromFile(samples, path);
    FAIL() << "no error";
  } catch (const TSampleFileError& error) {
    EXPECT_EQ("Cannot open file \"" + fs::absolute(path).string() +
                  "\". Line 4 has 2 items where every line has 3 (2 inputs and y).",
              error.what());
  }
  ExpectRows({{9, 9}}, samples);
}

TEST_F(SampleFile, SeveralInputsSaveAndLoadAsTheyWere) {
  const TSampleData samples = Wide(8, 100);
  const std::string path = PathOf("wide.mvs");
  SaveToFile(samples, path);
  TSampleData back;
  EXPECT_EQ(0, LoadFromFile(back, path));
  ExpectSameRows(samples, back);
  EXPECT_EQ(-0.125 * 36 * 99, back.MinY());
  EXPECT_EQ(99, back.MaxX(7));
}

namespace {

TSampleData Named(std::vector<std::string> names, std::initializer_list<double> row) {
  TSampleData samples(1, static_cast<std::int32_t>(names.size()) - 1);
  std::int32_t k = 0;
  for (const double value : row) {
    if (k + 1 < std::ssize(names)) {
      samples.SetX(0, k++, value);
    } else {
      samples.SetY(0, value);
    }
  }
  samples.SetNames(std::move(names));
  return samples;
}

}  // namespace

// What a save writes loads back as the same rows, names and inputs, or the save is refused
// before the file is touched: names a header cannot give back are refused, all else is kept.
TEST_F(SampleFile, SavedSetsLoadBackWholeOrAreNotSaved) {
  const struct {
    TSampleData Set;
    bool Saves;
  } rows[] = {
      {Named({"E", "m", "y"}, {1, 2, 3}), true},
      {Named({"e", "y"}, {1, 2}), true},
      {Named({"x", "say \"hi\""}, {1, 2}), true},
      {Named({"E1", "t; s", "\xCE\x94"}, {1, 2, 3}), true},
      {MakeSet({{-0.0, 1}, {2, -0.0}}), true},
      {Named({"400", "500", "600", "y"}, {1, 2, 3, 4}), false},
      {Named({"a\nb", "y"}, {1, 2}), false},
      {Named({"a\r", "y"}, {1, 2}), false},
      {Named({" t", "v"}, {1, 2}), false},
      {Named({"1,5", "y"}, {1, 2}), false},
      {Named({"5E", "y"}, {1, 2}), false},
      {Named({"#", "y"}, {1, 2}), false},
      {Named({std::string("a\0b", 3), "y"}, {1, 2}), false},
  };
  for (const auto& row : rows) {
    const TSampleData& set = row.Set;
    const std::string what = FormatSampleFileText(set);
    const std::string path = Write("set.mvs", "old");
    bool saved = true;
    try {
      SaveToFile(set, path);
    } catch (const TSampleFileError&) {
      saved = false;
    }
    EXPECT_EQ(row.Saves, saved) << what;
    if (!saved) {
      EXPECT_EQ("old", Read(path)) << what;
      continue;
    }
    TSampleData back;
    EXPECT_EQ(0, LoadFromFile(back, path)) << what;
    EXPECT_EQ(set.Names(), back.Names()) << what;
    ASSERT_EQ(set.InputCount(), back.InputCount()) << what;
    ASSERT_EQ(set.Count(), back.Count()) << what;
    for (std::int32_t i = 0; i < set.Count(); ++i) {
      for (std::int32_t k = 0; k < set.InputCount(); ++k) {
        EXPECT_EQ(set.GetX(i, k), back.GetX(i, k)) << what;
        EXPECT_EQ(std::signbit(set.GetX(i, k)), std::signbit(back.GetX(i, k))) << what;
      }
      EXPECT_EQ(set.GetY(i), back.GetY(i)) << what;
      EXPECT_EQ(std::signbit(set.GetY(i)), std::signbit(back.GetY(i))) << what;
    }
  }
}

// Items after the second and numbers cut short of a digit are read as files of one input
// always were, and counted; under a header or with several inputs such a number is refused.
TEST(SampleFileText, ItemsNotUsedAndNumbersCutShortAreCounted) {
  TSampleRead bare = ParseSampleFileText("1,2\r\n3,4,5\r\n6,7,x\r\n8,2.5e\r\n9,1e+,3\r\n");
  EXPECT_EQ(5, bare.Readable());
  EXPECT_EQ((std::vector<std::int64_t>{2, 3, 5}), bare.Unused().Lines);
  EXPECT_EQ((std::vector<std::int64_t>{4, 5}), bare.CutShort().Lines);
  TSampleData samples;
  std::move(bare).MoveInto(samples, TUnreadableChoice::Leave);
  ExpectRows({{1, 2}, {3, 4}, {6, 7}, {8, 2.5}, {9, 1}}, samples);

  const TSampleRead named = ParseSampleFileText("x,y\r\n1,2.5e\r\n3,4,5\r\n.,1\r\n");
  EXPECT_EQ(1, named.Readable());
  EXPECT_EQ((std::vector<std::int64_t>{2, 4}), named.UnreadableLines());
  EXPECT_EQ((std::vector<std::int64_t>{3}), named.Unused().Lines);
  EXPECT_EQ(0, named.CutShort().Count);

  const TSampleRead wide = ParseSampleFileText("1,2,3\r\n4,5,6e\r\n7,8,9\r\n");
  EXPECT_EQ(2, wide.Readable());
  EXPECT_EQ((std::vector<std::int64_t>{2}), wide.UnreadableLines());
}

TEST_F(SampleFile, OneFileByAnyNameIsTheSameFile) {
  const std::string path = Write("a.mvs", "1,2\r\n");
  fs::create_symlink(path, folder_ / "link.mvs");
  fs::create_directory(folder_ / "sub");
  EXPECT_TRUE(SameFile(path, (folder_ / "sub" / ".." / "a.mvs").string()));
  EXPECT_TRUE(SameFile(path, PathOf("link.mvs")));
  EXPECT_TRUE(SameFile(PathOf("new.mvs"), (folder_ / "." / "new.mvs").string()));
  EXPECT_FALSE(SameFile(path, PathOf("new.mvs")));
  EXPECT_FALSE(SameFile(PathOf("new.mvs"), PathOf("other.mvs")));
}

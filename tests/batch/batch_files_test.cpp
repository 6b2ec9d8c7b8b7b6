// Batch files are checked whole before a run may start: what files rely on still loads, and
// nothing that is not an identity is ever handed to a run.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "batch/batch_files.h"
#include "model/em4100.h"

namespace rivelo {
namespace {

namespace fs = std::filesystem;

class BatchFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("rivelo_batch_files_" + std::to_string(::getpid()) + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& content) {
    const auto path = dir_ / ("f" + std::to_string(n_++) + ".txt");
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
  BatchFile Load(const std::string& content) { return LoadBatchFile(Write(content), Em4100Format()); }

  fs::path dir_;
  int n_ = 0;
};

TEST_F(BatchFiles, WhatFilesRelyOnStillLoads) {
  const BatchFile f = Load("\xEF\xBB\xBF" "100\r\n  42\r\n\r\n   \t\n0004886718345\n1164413321");
  ASSERT_TRUE(f.ok()) << DescribeBatchFileError(f);
  EXPECT_EQ(f.lines, (std::vector<std::string>{"100", "  42", "0004886718345", "1164413321"}));
  ASSERT_EQ(f.ids.size(), 4u);
  EXPECT_EQ(f.ids[0], (Identity{0, 0, 0, 0, 100}));  // the byte-order mark is not part of the line
  EXPECT_EQ(f.ids[2], (Identity{0x01, 0x23, 0x45, 0x67, 0x89}));
  EXPECT_EQ(f.ids[3], (Identity{0x00, 0x45, 0x67, 0x89, 0x89}));

  // The usual empty line at the end; a file of nothing but blank lines, or of nothing, is
  // refused: its run would end at once as if it had written everything.
  EXPECT_EQ(Load("1\n2\n\n").lines.size(), 2u);
  for (const char* content : {"\n\r\n  \n", "", "\xEF\xBB\xBF"}) {
    const BatchFile blank = Load(content);
    EXPECT_EQ(blank.error, BatchFileError::Empty);
    EXPECT_EQ(DescribeBatchFileError(blank), "no identities in " + blank.path);
  }
}

TEST_F(BatchFiles, ALineThatIsNoIdentityRefusesTheWholeFile) {
  struct Case {
    const char* content;
    int line;
    const char* text;
    LineError error;
  } cases[] = {
      {"1\n\nletters\n3\n", 3, "letters", LineError::NotANumber},
      {"1\r\n-1\r\n", 2, "-1", LineError::Negative},
      {"1\n1099511627777\n", 2, "1099511627777", LineError::TooLarge},
      {"12abc", 1, "12abc", LineError::TrailingText},
  };
  for (const Case& c : cases) {
    const BatchFile f = Load(c.content);
    EXPECT_EQ(f.error, BatchFileError::BadLine) << c.content;
    EXPECT_EQ(f.line, c.line) << c.content;
    EXPECT_EQ(f.text, c.text);
    EXPECT_EQ(f.lineError, c.error);
    EXPECT_TRUE(f.lines.empty() && f.ids.empty());
  }
  EXPECT_EQ(DescribeBatchFileError(Load("1\n\nletters\n")),
            "Line 3 of the batch file is not an identity: \"letters\" (not a decimal number)");
}

TEST_F(BatchFiles, FilesThatAreNoTextAreRefusedWithTheReason) {
  EXPECT_EQ(Load(std::string("\xFF\xFE" "1\0\n\0", 6)).error, BatchFileError::Utf16);
  EXPECT_EQ(Load(std::string("\xFE\xFF\0" "1\0\n", 6)).error, BatchFileError::Utf16);
  EXPECT_EQ(Load(std::string("1\0\n\0", 4)).error, BatchFileError::Binary);

  const BatchFile missing = LoadBatchFile((dir_ / "missing.txt").string(), Em4100Format());
  EXPECT_EQ(missing.error, BatchFileError::CannotOpen);
  EXPECT_EQ(DescribeBatchFileError(missing), "The batch file cannot be opened: No such file or directory");
  EXPECT_EQ(LoadBatchFile(dir_.string(), Em4100Format()).error, BatchFileError::NotAFile);
}

TEST_F(BatchFiles, PipesDevicesAndHugeFilesNeitherBlockNorFillTheMemory) {
  const std::string fifo = (dir_ / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(LoadBatchFile(fifo, Em4100Format()).error, BatchFileError::NotAFile);  // no writer: must not wait
  EXPECT_EQ(LoadBatchFile("/dev/zero", Em4100Format()).error, BatchFileError::NotAFile);

  const std::string huge = Write("1\n");
  fs::resize_file(huge, MaxBatchFileBytes + 1);  // sparse: costs no disk
  EXPECT_EQ(LoadBatchFile(huge, Em4100Format()).error, BatchFileError::TooLarge);
}

}  // namespace
}  // namespace rivelo

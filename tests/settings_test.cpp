// The defaults file: layout, short and missing files, round trips.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/settings.h"

namespace segd {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("segd_settings_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    path_ = (dir_ / "dorvik.def").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::vector<std::uint8_t> FileBytes() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  fs::path dir_;
  std::string path_;
};

TEST_F(SettingsFileTest, MissingFileReadsAsZerosAndIsCreatedEmpty) {
  const SettingsRecord record = ReadSettingsFile(path_);
  EXPECT_EQ(record.selection, OutputSelection{});
  EXPECT_EQ(record.folderField, std::string(1024, '\0'));
  EXPECT_EQ(record.nameField, std::string(1024, '\0'));
  ASSERT_TRUE(fs::exists(path_));
  EXPECT_EQ(fs::file_size(path_), 0u);
  EXPECT_EQ(PlatformText(RememberedText(record.nameField)), "");
}

TEST_F(SettingsFileTest, WritesTheLayoutAndReadsItBack) {
  SettingsRecord record;
  for (int i = 0; i < 36; ++i) record.selection[static_cast<std::size_t>(i)] = i % 3 == 0 ? 1 : (i == 35 ? -2 : 0);
  record.folderField = "C:\\Data";
  record.nameField = "Results";
  ASSERT_TRUE(WriteSettingsFile(path_, record));
  const auto bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 2192u);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes[4], 0);
  EXPECT_EQ(bytes[140], 0xFE);  // entry 35 = -2, little-endian
  EXPECT_EQ(bytes[143], 0xFF);
  EXPECT_EQ(std::string(bytes.begin() + 144, bytes.begin() + 151), "C:\\Data");
  EXPECT_EQ(bytes[151], ' ');
  EXPECT_EQ(bytes[1167], ' ');
  EXPECT_EQ(std::string(bytes.begin() + 1168, bytes.begin() + 1175), "Results");
  EXPECT_EQ(bytes[2191], ' ');

  const SettingsRecord back = ReadSettingsFile(path_);
  EXPECT_EQ(back.selection, record.selection);
  EXPECT_EQ(RememberedText(back.folderField), "C:\\Data");
  EXPECT_EQ(RememberedText(back.nameField), "Results");
  ASSERT_TRUE(WriteSettingsFile(path_, back));
  EXPECT_EQ(FileBytes(), bytes);  // round trip is byte-identical
}

TEST_F(SettingsFileTest, HundredByteFileGivesTwentyFiveEntriesAndNulTexts) {
  {
    std::ofstream out(path_, std::ios::binary);
    std::vector<char> bytes(100, 0);
    for (int i = 0; i < 25; ++i) bytes[static_cast<std::size_t>(4 * i)] = 1;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const SettingsRecord record = ReadSettingsFile(path_);
  for (int i = 0; i < 36; ++i) EXPECT_EQ(record.selection[static_cast<std::size_t>(i)], i < 25 ? 1 : 0) << i;
  EXPECT_EQ(RememberedText(record.folderField), std::string(1024, '\0'));
  EXPECT_EQ(fs::file_size(path_), 100u);  // reading does not change the file
}

TEST_F(SettingsFileTest, LongNameIsCutAndBytesBeyondTheRecordAreKept) {
  {
    std::ofstream out(path_, std::ios::binary);
    const std::string big(3000, 'z');
    out.write(big.data(), static_cast<std::streamsize>(big.size()));
  }
  SettingsRecord record;
  record.nameField = std::string(1500, 'n');
  ASSERT_TRUE(WriteSettingsFile(path_, record));
  const auto bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 3000u);
  EXPECT_EQ(std::string(bytes.begin() + 1168, bytes.begin() + 2192), std::string(1024, 'n'));
  EXPECT_EQ(bytes[2192], 'z');
  EXPECT_EQ(RememberedText(ReadSettingsFile(path_).nameField), std::string(1024, 'n'));
}

TEST_F(SettingsFileTest, OnlyARegularFileIsLoaded) {
  SettingsRecord record;
  EXPECT_FALSE(LoadSettingsFile(path_, record));  // missing
  EXPECT_FALSE(LoadSettingsFile(dir_.string(), record));  // a folder
  ASSERT_TRUE(WriteSettingsFile(path_, record));
  EXPECT_TRUE(LoadSettingsFile(path_, record));
}

TEST(Settings, TrailingBlanksAreTrimmedButZeroBytesAreNot) {
  EXPECT_EQ(RememberedText("  Results   "), "Results");
  EXPECT_EQ(RememberedText(std::string("\0a ", 3)), std::string("\0a", 2));
  EXPECT_EQ(PlatformText(std::string("ab\0cd", 5)), "ab");
}

TEST(Settings, ShortRecordBytesReadAsZero) {
  const std::vector<std::uint8_t> bytes = {0x01, 0x00, 0x00, 0x00, 0x02};
  const SettingsRecord record = ParseSettings(bytes);
  EXPECT_EQ(record.selection[0], 1);
  EXPECT_EQ(record.selection[1], 2);
  EXPECT_EQ(record.selection[2], 0);
}

}  // namespace
}  // namespace segd

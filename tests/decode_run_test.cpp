// The decode run: file walk, early ends and the order of notices, the report
// name, the preamble, and the faults it must not hide.
#include <gtest/gtest.h>

#include "support/blocks.h"
#include "support/fake_host.h"

namespace segd {
namespace {

using testing::Block;
using testing::FakeHost;
using testing::Poke;

// Blocks 1-3, one channel set, a 1024-byte extended header of zeros but for
// a valid aux type (bytes 33-36 = 2), no external header and no traces.
std::vector<std::uint8_t> MinimalRecord(Block block1 = testing::Sn388Block1()) {
  std::vector<std::uint8_t> bytes;
  testing::Append(bytes, block1);
  Block block2{};
  Poke(block2, 11, {0x01, 0x00});
  testing::Append(bytes, block2);
  Block block3{};
  Poke(block3, 4, {0x00, 0x00, 0x7B, 0x25, 0x00, 0x00, 0x01, 0xC8, 0x50, 0x00, 0x03});
  testing::Append(bytes, block3);
  Block channelSet{};
  Poke(channelSet, 1, {0x01, 0x01});
  testing::Append(bytes, channelSet);
  const std::size_t extended = bytes.size();
  bytes.resize(bytes.size() + 1024, 0);
  bytes[extended + 35] = 2;
  return bytes;
}

std::string Padded(std::string text, std::size_t width = 80) {
  text.resize(width, ' ');
  return text;
}

TEST(DecodeRun, WritesThePreambleFromTheGeneralHeaders) {
  FakeHost host;
  host.record = MinimalRecord();
  ASSERT_EQ(host.Run("C:\\Data\\LINE1.SEGD"), kReportWritten);
  ASSERT_EQ(host.reports.count("C:\\Data\\Results.Txt"), 1u);
  const auto lines = host.ReportLines();
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ(lines[0], "Disk File      : C:\\Data\\LINE1.SEGD");
  EXPECT_EQ(lines[1], "Recorder File  : 1234");
  EXPECT_EQ(lines[2], "Recorded       : 2006-02-14 at 09:41:07 Julian Day = 045");
  EXPECT_EQ(lines[5], "Record Type    : Normal    ");
  EXPECT_EQ(lines[6], "Sample Rate    : 1mS");
  EXPECT_EQ(lines[9], "Source Line    : 123.2500 Source Point 456.5000");
  EXPECT_EQ(lines[11], "");
  EXPECT_TRUE(host.notices.empty());
}

TEST(DecodeRun, UndecodedBlockThreeLeavesNulCharactersInTheSourceLine) {
  for (std::uint8_t additional : {0x00, 0x10}) {
    Block block1 = testing::Sn388Block1();
    Poke(block1, 12, {static_cast<std::uint8_t>(additional | 0x00)});
    FakeHost host;
    host.record = MinimalRecord(block1);
    host.Run();
    EXPECT_EQ(host.ReportLines()[9], "Source Line    : " + std::string(10, '\0') + " Source Point " + std::string(10, '\0'));
  }
}

// The walk: the extended header follows the channel set headers that block 1
// byte 29 counts, whatever the skew count of byte 30 says, and the traces
// follow the extended header. Each case puts two traces (receiver lines 7
// and 8) where the walk must find them; a wrong offset shows as a wrong
// trace count or wrong lines.
struct WalkCase {
  const char* what;
  std::uint8_t channelSets;  // byte 29, two decimal digits
  std::uint8_t skewBlocks;   // byte 30
  std::uint8_t samples;      // samples per trace, 4 bytes each
};

TEST(DecodeRun, ExtendedHeaderFollowsTheCountedChannelSetsWhateverTheSkewCount) {
  const WalkCase cases[] = {
      {"no channel set", 0x00, 0x00, 0},
      {"one channel set", 0x01, 0x00, 0},
      {"twelve channel sets (decimal digits)", 0x12, 0x00, 0},
      {"skew blocks are not skipped", 0x01, 0x05, 0},
      {"skew blocks with no channel set", 0x00, 0x99, 3},
      {"samples between the traces", 0x03, 0x00, 5},
  };
  for (const WalkCase& c : cases) {
    Block block1 = testing::Sn388Block1();
    Poke(block1, 29, {c.channelSets, c.skewBlocks});
    std::vector<std::uint8_t> bytes;
    testing::Append(bytes, block1);
    Block block2{};
    Poke(block2, 11, {0x01, 0x00});
    testing::Append(bytes, block2);
    testing::Append(bytes, Block{});
    const int sets = (c.channelSets >> 4) * 10 + (c.channelSets & 0x0F);
    for (int k = 0; k < sets; ++k) {
      Block channelSet{};
      Poke(channelSet, 1, {0x01, 0x01});
      testing::Append(bytes, channelSet);
    }
    // 32 extended blocks: 2 traces (bytes 9-12), aux type 2 (33-36), the
    // samples per trace (49-52), no trace header extension beyond the first.
    const std::size_t extended = bytes.size();
    bytes.resize(extended + 1024, 0);
    bytes[extended + 11] = 2;
    bytes[extended + 35] = 2;
    bytes[extended + 51] = c.samples;
    for (std::uint8_t line : {7, 8}) {
      const std::size_t trace = bytes.size();
      bytes.resize(trace + 20 + 32 + 4u * c.samples, 0xEE);
      std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(trace), 52, std::uint8_t{0});
      bytes[trace + 20 + 2] = line;  // extension 1 bytes 1-3: receiver line
    }

    FakeHost host;
    host.record = bytes;
    host.selection[1] = 1;  // Line
    ASSERT_EQ(host.Run(), kReportWritten) << c.what;
    EXPECT_TRUE(host.notices.empty()) << c.what;
    const auto lines = host.ReportLines();
    ASSERT_EQ(lines.size(), 16u) << c.what;
    EXPECT_EQ(lines[8], "Total Traces   : 2") << c.what;
    EXPECT_EQ(lines[12], "Seq   Line      ") << c.what;
    EXPECT_EQ(lines[14], "1     7         ") << c.what;
    EXPECT_EQ(lines[15], "2     8         ") << c.what;
    EXPECT_EQ(host.ranges, (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 2}})) << c.what;
  }
}

struct NameCase {
  std::string typed;
  std::string folder;
  std::string path;
};

TEST(DecodeRun, FormsTheReportNameFromWhatWasTyped) {
  const NameCase cases[] = {
      {"results.txt", "C:\\Data", "C:\\Data\\Results.Txt"},
      {"MY_RUN.TXT", "C:\\Data", "C:\\Data\\My_Run.Txt"},
      {"a.txt.old", "C:\\Data", "C:\\Data\\A.Old.Txt"},
      {"line 2b", "C:\\Data", "C:\\Data\\Line 2B.Txt"},
      {"  results  ", "C:\\", "C:\\Results.Txt"},
      {"x.TxT.txt", "C:\\Data\\", "C:\\Data\\X.Txt"},
      {"results", "\\\\server\\share", "\\\\server\\share\\Results.Txt"},
      {"results", "\\\\server\\share\\\\sub\\", "\\\\server\\share\\sub\\Results.Txt"},
      {"\xE9t\xE9 \xC0 nice", "C:\\Data", "C:\\Data\\\xC9t\xE9 \xC0 Nice.Txt"},
  };
  for (const NameCase& c : cases) {
    FakeHost host;
    host.record = MinimalRecord();
    host.name = c.typed;
    host.folder = c.folder;
    host.Run();
    ASSERT_EQ(host.reports.size(), 1u) << c.typed;
    EXPECT_EQ(host.reports.begin()->first, c.path) << c.typed;
  }
}

TEST(DecodeRun, SlashSeparatedFoldersAreJoinedWithoutDoubledSlashes) {
  FakeHost host;
  host.record = MinimalRecord();
  host.separator = '/';
  host.folder = "/data/";
  host.name = "results.txt";
  host.Run();
  EXPECT_EQ(host.reports.begin()->first, "/data/Results.Txt");
}

TEST(DecodeRun, EmptyOrBlankNameEndsTheRunWithItsNoticeAndNoReport) {
  for (const char* name : {"", "    "}) {
    FakeHost host;
    host.record = MinimalRecord();
    host.name = name;
    EXPECT_EQ(host.Run(), kNoReport);
    EXPECT_TRUE(host.reports.empty());
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].text, "Enter a File Name for the Results");
    EXPECT_EQ(host.notices[0].caption, "Specify a File");
    EXPECT_EQ(host.notices[0].kind, NoticeKind::Warning);
    EXPECT_TRUE(host.ranges.empty());
  }
}

TEST(DecodeRun, NegativeStatusShowsOneNoticeAndEndsBeforeTheNameIsRead) {
  Block block1 = testing::Sn388Block1();
  Poke(block1, 3, {0x12, 0x34});
  FakeHost host;
  host.record = MinimalRecord(block1);
  host.selection[kSelectViewReport] = 1;
  EXPECT_EQ(host.Run(), kNoReport);
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].text, Padded("1234 is an invalid SEGD Format Code. This is not a SEG D File."));
  EXPECT_EQ(host.notices[0].caption, "");
  EXPECT_EQ(host.notices[0].kind, NoticeKind::Plain);
  EXPECT_EQ(host.nameReads, 0);
  EXPECT_TRUE(host.reports.empty());
  EXPECT_TRUE(host.ranges.empty());
  EXPECT_TRUE(host.positions.empty());
  EXPECT_TRUE(host.viewed.empty());
}

TEST(DecodeRun, AllZeroRecordIsNotSegD) {
  for (std::size_t size : {0u, 1u, 31u, 96u, 5000u}) {
    FakeHost host;
    host.record.assign(size, 0);
    EXPECT_EQ(host.Run(), kNoReport);
    ASSERT_EQ(host.notices.size(), 1u) << size;
    EXPECT_EQ(host.notices[0].text, Padded("0000 is an invalid SEGD Format Code. This is not a SEG D File."));
  }
}

TEST(DecodeRun, ComplaintsComeInFileOrderBeforeTheNameCheck) {
  Block block1 = testing::Sn388Block1();
  Poke(block1, 17, {0x41});  // unknown manufacturer: so no SN388 model either
  FakeHost host;
  host.record = MinimalRecord(block1);
  host.name = " ";
  host.Run();
  ASSERT_EQ(host.notices.size(), 3u);
  EXPECT_EQ(host.notices[0].text, Padded("The Manufacturer code is not recognised"));
  EXPECT_EQ(host.notices[1].text, "Not a valid SN388 File, Decode will continue, but results may not be valid!!");
  EXPECT_EQ(host.notices[1].caption, "Invalid File");
  EXPECT_EQ(host.notices[1].kind, NoticeKind::Plain);
  EXPECT_EQ(host.notices[2].text, "Enter a File Name for the Results");
}

TEST(DecodeRun, OtherModelGoesOnWithNoTraces) {
  Block block1 = testing::Sn388Block1();
  Poke(block1, 10, {0x01});  // SN408UL
  FakeHost host;
  host.record = MinimalRecord(block1);
  EXPECT_EQ(host.Run(), kReportWritten);
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].caption, "Invalid File");
  EXPECT_EQ(host.ranges, (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 0}}));
  EXPECT_TRUE(host.positions.empty());
  const auto lines = host.ReportLines();
  EXPECT_EQ(lines[12], "Seq   ");
  EXPECT_EQ(lines[13], "---   ");
  EXPECT_EQ(lines.size(), 14u);
}

TEST(DecodeRun, SectionsAppearOnlyForEntriesEqualToOne) {
  FakeHost host;
  host.record = MinimalRecord();
  host.selection[kSelectGeneralHeaders] = 2;
  host.selection[kSelectChannelSets] = 1;
  host.selection[kSelectViewReport] = -1;
  host.Run();
  const std::string text = host.Report();
  EXPECT_EQ(text.find("General Headers"), std::string::npos);
  EXPECT_NE(text.find("Channel Set Headers (Unused headers not displayed)"), std::string::npos);
  EXPECT_TRUE(host.viewed.empty());
}

TEST(DecodeRun, OpensTheViewerOnTheReportWhenAsked) {
  FakeHost host;
  host.record = MinimalRecord();
  host.selection[kSelectViewReport] = 1;
  host.Run();
  EXPECT_EQ(host.viewed, (std::vector<std::string>{"C:\\Data\\Results.Txt"}));
}

TEST(DecodeRun, RecordThatCannotBeOpenedIsNotReadAsZeros) {
  FakeHost host;
  host.recordOpens = false;
  EXPECT_EQ(host.Run("C:\\Data\\missing.segd"), kNoReport);
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].text, "Cannot open C:\\Data\\missing.segd");
  EXPECT_EQ(host.notices[0].caption, "Open Failed");
  EXPECT_EQ(host.notices[0].kind, NoticeKind::Warning);
  EXPECT_TRUE(host.reports.empty());
}

TEST(DecodeRun, ReportThatCannotBeCreatedIsReportedAndNoTraceIsWalked) {
  FakeHost host;
  host.record = MinimalRecord();
  host.reportCreatable = false;
  host.selection[kSelectViewReport] = 1;
  EXPECT_EQ(host.Run(), kNoReport);
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].text, "Cannot create the report file C:\\Data\\Results.Txt");
  EXPECT_EQ(host.notices[0].caption, "Report Not Written");
  EXPECT_EQ(host.notices[0].kind, NoticeKind::Warning);
  EXPECT_TRUE(host.ranges.empty());
  EXPECT_TRUE(host.viewed.empty());
}

TEST(DecodeRun, FailedWriteIsReportedAfterTheRunAndTheViewerIsNotStarted) {
  for (std::int64_t failAfter : {0, 100, 400}) {
    FakeHost host;
    host.record = MinimalRecord();
    host.SelectAll();
    host.selection[kSelectViewReport] = 1;
    host.failReportAfter = failAfter;
    EXPECT_EQ(host.Run(), kNoReport);
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].text, "The report file C:\\Data\\Results.Txt could not be written completely");
    EXPECT_EQ(host.notices[0].caption, "Report Not Written");
    EXPECT_TRUE(host.viewed.empty());
    EXPECT_EQ(host.ranges.size(), 1u);  // after the walk
  }
}

}  // namespace
}  // namespace segd

// The external header dump: 64 lines of line number, 32 digits and a column
// of the printable bytes.
#include "output/report/header_sections.h"
#include "scan/makes/sn388/external_header.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace segd {
namespace {

const std::string kSeparator(89, '-');
constexpr std::size_t kFirstDumpLine = 3;

std::vector<std::string> DumpOf(ByteSpan bytes) {
  ExternalHeaderRecord record{};
  EXPECT_EQ(DecodeExternalHeader(bytes, record), 0);
  EXPECT_EQ(record.ErrorInformation.View(), std::string(80, '\0'));
  MemoryByteSink sink;
  ReportWriter report(sink);
  EXPECT_EQ(ListExternalHeader(record, report), 0);
  report.Finish();
  std::vector<std::string> lines;
  const std::string& text = sink.Text();
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Line n of a header of zero bytes.
std::string ZeroLine(const char* number) {
  return number + ("  " + std::string(32, '0') + "      " + std::string(16, '.'));
}

TEST(ExternalHeaderDump, ZeroBytesGive64LinesOfZerosAndFullStopsBetweenBanners) {
  const std::vector<std::uint8_t> zeros(1024, 0);
  const std::vector<std::string> lines = DumpOf(zeros);
  ASSERT_EQ(lines.size(), 70u);
  EXPECT_EQ(lines[0], kSeparator);
  EXPECT_EQ(lines[1], "External Header");
  EXPECT_EQ(lines[2], kSeparator);
  EXPECT_EQ(lines[kFirstDumpLine + 0x00], ZeroLine("00"));
  EXPECT_EQ(lines[kFirstDumpLine + 0x0A], ZeroLine("0A"));
  EXPECT_EQ(lines[kFirstDumpLine + 0x0F], ZeroLine("0F"));
  EXPECT_EQ(lines[kFirstDumpLine + 0x3F], ZeroLine("3F"));
  for (std::size_t i = kFirstDumpLine; i < kFirstDumpLine + 64; ++i) EXPECT_EQ(lines[i].size(), 58u) << i;
  EXPECT_EQ(lines[67], kSeparator);
  EXPECT_EQ(lines[68], "End of External Header");
  EXPECT_EQ(lines[69], kSeparator);
}

TEST(ExternalHeaderDump, EachLineShowsItsSixteenBytesInOrder) {
  std::vector<std::uint8_t> bytes(1024);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
  const std::vector<std::string> lines = DumpOf(bytes);
  ASSERT_EQ(lines.size(), 70u);
  EXPECT_EQ(lines[kFirstDumpLine + 0x00], "00  000102030405060708090A0B0C0D0E0F      ................");
  EXPECT_EQ(lines[kFirstDumpLine + 0x02], "02  202122232425262728292A2B2C2D2E2F      .!\"#$%&'()*+,-./");
  EXPECT_EQ(lines[kFirstDumpLine + 0x03], "03  303132333435363738393A3B3C3D3E3F      0123456789:;<=>?");
  EXPECT_EQ(lines[kFirstDumpLine + 0x05], "05  505152535455565758595A5B5C5D5E5F      PQRSTUVWXYZ[\\]^_");
  EXPECT_EQ(lines[kFirstDumpLine + 0x07], "07  707172737475767778797A7B7C7D7E7F      pqrstuvwxyz{|}~.");
  EXPECT_EQ(lines[kFirstDumpLine + 0x08], "08  808182838485868788898A8B8C8D8E8F      ................");
  EXPECT_EQ(lines[kFirstDumpLine + 0x0F], "0F  F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF      ................");
  EXPECT_EQ(lines[kFirstDumpLine + 0x10], "10  000102030405060708090A0B0C0D0E0F      ................");
  EXPECT_EQ(lines[kFirstDumpLine + 0x3F], "3F  F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF      ................");
}

TEST(ExternalHeaderDump, OnlyBytes33To126ShowAsThemselves) {
  struct Case {
    std::uint8_t byte;
    char shown;
  };
  const Case cases[] = {
      {0, '.'},  {9, '.'},  {31, '.'}, {32, '.'},  {33, '!'},  {46, '.'},  {48, '0'},  {57, '9'},
      {65, 'A'}, {90, 'Z'}, {97, 'a'}, {122, 'z'}, {126, '~'}, {127, '.'}, {128, '.'}, {255, '.'},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes(1024, 0);
    bytes[16 * 5 + 15] = c.byte;  // the last byte of line 05
    const std::string line = DumpOf(bytes)[kFirstDumpLine + 5];
    EXPECT_EQ(line.substr(34, 2), BytesToHex(std::vector<std::uint8_t>{c.byte})) << int{c.byte};
    EXPECT_EQ(line.substr(42), std::string(15, '.') + c.shown) << int{c.byte};
  }
}

TEST(ExternalHeaderDump, AShortHeaderIsDumpedAsIfPaddedWithZeros) {
  const std::vector<std::uint8_t> twenty(20, 'Z');
  const std::vector<std::string> lines = DumpOf(twenty);
  ASSERT_EQ(lines.size(), 70u);
  EXPECT_EQ(lines[kFirstDumpLine], "00  5A5A5A5A5A5A5A5A5A5A5A5A5A5A5A5A      ZZZZZZZZZZZZZZZZ");
  EXPECT_EQ(lines[kFirstDumpLine + 1], "01  5A5A5A5A000000000000000000000000      ZZZZ............");
  EXPECT_EQ(lines[kFirstDumpLine + 2], ZeroLine("02"));

  const std::vector<std::string> none = DumpOf(ByteSpan{});
  const std::vector<std::uint8_t> zeros(1024, 0);
  EXPECT_EQ(none, DumpOf(zeros));
}

TEST(ExternalHeaderDump, BytesPastThe1024thAreNotShown) {
  std::vector<std::uint8_t> bytes(4096, 'X');
  std::fill(bytes.begin(), bytes.begin() + 1024, 0);
  const std::vector<std::string> lines = DumpOf(bytes);
  ASSERT_EQ(lines.size(), 70u);
  EXPECT_EQ(lines[kFirstDumpLine + 0x3F], ZeroLine("3F"));
}

TEST(ExternalHeaderDump, TheImageHoldsTwoDigitsForEachOfTheFirst1024Bytes) {
  std::vector<std::uint8_t> bytes(1024, 0xA5);
  bytes[0] = 0x0F;
  ExternalHeaderRecord record{};
  DecodeExternalHeader(bytes, record);
  EXPECT_EQ(record.HexImage.View().substr(0, 4), "0FA5");
  EXPECT_EQ(record.HexImage.View().substr(2046), "A5");
}

}  // namespace
}  // namespace segd

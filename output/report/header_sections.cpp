#include "output/report/header_sections.h"

#include <string>

#include "output/report/field_listing.h"
#include "scan/makes/sn388/channel_set_fields.h"
#include "scan/makes/sn388/extended_header_layout.h"
#include "scan/makes/sn388/general_header_fields.h"

namespace segd {

namespace {

void WriteBlockTitle(ReportWriter& report, std::string_view title) {
  report.WriteLine(title);
  report.WriteLine("======================");
}

void ListOneChannelSet(const ChannelSetRecord& record, std::int32_t number, ReportWriter& report) {
  report.WriteLine("Channel Set Header Number " + SignedNumberText(number, 15));
  report.WriteLine("============================");
  ListFields(report, channel_set_fields::kFields, record, channel_set_fields::kLabelColumn);
  report.WriteLine("");
}

// Whether the section lists the header: not when its scan type and channel
// set number both read as 0.
bool IsListed(const ChannelSetRecord& record) {
  return DigitValue(record.ChannelSetNumber.View()) + DigitValue(record.ScanTypeNumber.View()) != 0;
}

// The external header dump.
constexpr std::size_t kDigitsPerLine = 32;  // 16 bytes
// Line number, two blanks and 32 digits take 36 characters; the character
// column starts at the next multiple of 14 columns, the 43rd character.
constexpr std::string_view kColumnGap = "      ";
static_assert(4 + kDigitsPerLine + kColumnGap.size() == 42);

// Bytes 33 to 126 show as themselves; blanks, control characters and the
// upper half of the code page as full stops.
char DumpCharacter(std::string_view digitPair) {
  const std::uint64_t value = HexValue(digitPair);
  return value >= 33 && value <= 126 ? static_cast<char>(value) : '.';
}

}  // namespace

std::int32_t ListGeneralHeaders(const GeneralHeader1Record& block1, const GeneralHeader2Record& block2,
                                const GeneralHeader3Record& block3, ReportWriter& report) {
  WriteBanner(report, "General Headers");
  WriteBlockTitle(report, "General Header Block 1");
  ListFields(report, general_fields::kBlock1, block1, general_fields::kLabelColumn);

  report.WriteLine("");
  WriteBlockTitle(report, "General Header Block 2");
  ListFields(report, general_fields::kBlock2, block2, general_fields::kLabelColumn);

  report.WriteLine("");
  WriteBlockTitle(report, "General Header Block 3");
  ListFields(report, general_fields::kBlock3, block3, general_fields::kLabelColumn);

  report.WriteLine("");
  WriteBanner(report, "End Of General Headers");
  report.WriteLine("");
  return 0;
}

std::int32_t ListChannelSets(std::span<const ChannelSetRecord> records, std::int32_t lastIndex, ReportWriter& report) {
  WriteBanner(report, "Channel Set Headers (Unused headers not displayed)");
  for (std::int32_t i = 0; i <= lastIndex && static_cast<std::size_t>(i) < records.size(); ++i) {
    const ChannelSetRecord& record = records[static_cast<std::size_t>(i)];
    if (IsListed(record)) ListOneChannelSet(record, i + 1, report);
  }
  WriteBanner(report, "End Of Channel Set Headers");
  report.WriteLine("");
  return 0;
}

std::int32_t ListExtendedHeader(const ExtendedHeaderRecord& record, ReportWriter& report) {
  WriteBanner(report, "Extended Header");
  ListFields(report, extended::kFields, record, extended::kLabelColumn);
  WriteBanner(report, "End of Extended Header");
  return 0;
}

std::int32_t ListExternalHeader(const ExternalHeaderRecord& record, ReportWriter& report) {
  WriteBanner(report, "External Header");
  const std::string_view image = record.HexImage.View();
  std::string line;
  for (std::size_t start = 0, n = 0; start < image.size(); start += kDigitsPerLine, ++n) {
    const std::string_view digits = image.substr(start, kDigitsPerLine);
    const std::uint8_t lineNumber[] = {static_cast<std::uint8_t>(n)};
    line = BytesToHex(lineNumber);
    line.append("  ").append(digits).append(kColumnGap);
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) line.push_back(DumpCharacter(digits.substr(i, 2)));
    report.WriteLine(line);
  }
  WriteBanner(report, "End of External Header");
  return 0;
}

}  // namespace segd

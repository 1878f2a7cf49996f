#include "scan/makes/sn388/external_header.h"

#include <string>

#include "output/report/listing.h"

namespace segd {

namespace {

constexpr std::size_t kDigitsPerLine = 32;  // 16 bytes
// Line number, two blanks and 32 digits take 36 characters; the character
// column starts at the next multiple of 14 columns, the 43rd character.
constexpr std::string_view kColumnGap = "      ";
static_assert(4 + kDigitsPerLine + kColumnGap.size() == 42);

// Bytes 33 to 126 show as themselves; blanks, control characters and the
// upper half of the code page as full stops.
char Shown(std::string_view digitPair) {
  const std::uint64_t value = HexValue(digitPair);
  return value >= 33 && value <= 126 ? static_cast<char>(value) : '.';
}

}  // namespace

std::int32_t DecodeExternalHeader(ByteSpan bytes, ExternalHeaderRecord& record) {
  record.HexImage.Store(BytesToHex(FixedBlock<kExternalHeaderBytesShown>(bytes)));
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
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) line.push_back(Shown(digits.substr(i, 2)));
    report.WriteLine(line);
  }
  WriteBanner(report, "End of External Header");
  return 0;
}

}  // namespace segd

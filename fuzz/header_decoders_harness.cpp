// One header decoder and its listing on any bytes: byte 0 chooses the
// decoder, the rest is the block, of any length (a short block reads as if
// zero-padded, a long one is cut).
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "fuzz/harness.h"
#include "scan/makes/sn388/channel_set.h"
#include "scan/makes/sn388/extended_header.h"
#include "scan/makes/sn388/external_header.h"
#include "scan/makes/sn388/general_header1.h"
#include "scan/makes/sn388/general_header23.h"
#include "output/report/header_sections.h"

namespace segd::fuzz {

namespace {

template <class F>
std::string Listing(F&& list) {
  MemoryByteSink sink;
  ReportWriter report(sink);
  list(report);
  report.Finish();
  return sink.Text();
}

std::size_t LineCount(std::string_view text) {
  std::size_t n = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", at + 2)) ++n;
  return n;
}

bool AllNul(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == '\0'; });
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

const std::string kSeparator(89, '-');

std::string GeneralHeaders(ByteSpan block) {
  GeneralHeader1Record one{};
  GeneralHeader2Record two{};
  GeneralHeader3Record three{};
  const std::int32_t status = DecodeGeneralHeader1(block, one);
  static constexpr std::int32_t kStatuses[] = {0, 1, 2, -1, -3, -4};
  if (std::find(std::begin(kStatuses), std::end(kStatuses), status) == std::end(kStatuses)) {
    return "block 1 gave status " + std::to_string(status);
  }
  if ((status == 0) != AllNul(one.ErrorInformation.View())) return "block 1's complaint does not match its status";
  if (status == -1 && !one.ErrorInformation.View().starts_with(one.FormatCode.View())) {
    return "the format complaint does not start with the format digits";
  }
  if (DecodeGeneralHeader2(block, two) != 0 || DecodeGeneralHeader3(block, three) != 0) {
    return "block 2 or 3 gave a status";
  }
  if (!AllNul(two.ErrorInformation.View()) || !AllNul(three.ErrorInformation.View())) {
    return "block 2 or 3 wrote a complaint";
  }
  // Every field holds digits, table texts or NUL: the section has the same
  // lines whatever the bytes.
  static const std::size_t kLines = LineCount(Listing([](ReportWriter& r) {
    ListGeneralHeaders(GeneralHeader1Record{}, GeneralHeader2Record{}, GeneralHeader3Record{}, r);
  }));
  if (LineCount(Listing([&](ReportWriter& r) { ListGeneralHeaders(one, two, three, r); })) != kLines) {
    return "the General Headers section changed its line count";
  }
  return {};
}

std::string ChannelSets(ByteSpan block) {
  ChannelSetRecord record{};
  if (DecodeChannelSet(block, record) != 0) return "a channel set gave a status";
  if (!AllNul(record.ErrorInformation.View())) return "a channel set wrote a complaint";
  const std::vector<ChannelSetRecord> records(3, record);
  auto lines = [&](std::int32_t last) {
    return LineCount(Listing([&](ReportWriter& r) { ListChannelSets(records, last, r); }));
  };
  // Each copy of the same header adds the same lines (none when unused).
  const std::size_t none = lines(-1), one = lines(0), three = lines(2);
  if (three - none != 3 * (one - none)) return "copies of one channel set listed differently";
  return {};
}

std::string Extended(ByteSpan bytes) {
  auto record = std::make_unique<ExtendedHeaderRecord>();
  const std::int32_t status = DecodeExtendedHeader(bytes, *record);
  static constexpr std::int32_t kStatuses[] = {0, 2, 3, 4, 6, 7, 8, 9, 10};
  if (std::find(std::begin(kStatuses), std::end(kStatuses), status) == std::end(kStatuses)) {
    return "the extended header gave status " + std::to_string(status);
  }
  if ((status == 0) != AllNul(record->ErrorInformation.View())) return "the extended complaint does not match its status";
  const std::string text = Listing([&](ReportWriter& r) { ListExtendedHeader(*record, r); });
  if (!text.starts_with(kSeparator + "\r\nExtended Header\r\n" + kSeparator + "\r\n") ||
      !EndsWith(text, kSeparator + "\r\nEnd of Extended Header\r\n" + kSeparator + "\r\n")) {
    return "the Extended Header section is not closed by its banners";
  }
  return {};
}

std::string External(ByteSpan bytes) {
  auto record = std::make_unique<ExternalHeaderRecord>();
  if (DecodeExternalHeader(bytes, *record) != 0) return "the external header gave a status";
  const std::string text = Listing([&](ReportWriter& r) { ListExternalHeader(*record, r); });
  // Banner, 64 lines of 16 bytes (number, digits, characters), banner.
  if (LineCount(text) != 70) return "the external dump is not 64 lines between its banners";
  std::size_t start = 0;
  for (int line = 0; line < 70; ++line) {
    const std::size_t end = text.find("\r\n", start);
    if (line >= 3 && line < 67 && end - start != 58) return "an external dump line is not 58 characters";
    start = end + 2;
  }
  return {};
}

}  // namespace

std::string CheckHeaderDecoders(Input input) {
  if (input.empty()) return {};
  const ByteSpan block = input.subspan(1);
  switch (input[0] % 6) {
    case 0: return GeneralHeaders(block);
    case 1: return GeneralHeaders(block.first(std::min<std::size_t>(block.size(), 31)));
    case 2: return ChannelSets(block);
    case 3: return Extended(block);
    case 4: return Extended(block.first(std::min<std::size_t>(block.size(), 700)));
    default: return External(block);
  }
}

}  // namespace segd::fuzz

// The whole decode run on a record in memory, with the run's settings taken
// from the input's first 16 bytes (harness.h). Whatever the bytes, the run
// must end in a report or in the notices that explain why there is none.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/harness.h"
#include "output/report/decode_file.h"
#include "scan/convert/text_field.h"

namespace segd::fuzz {

namespace {

constexpr std::string_view kRecordPath = "C:\\Data\\LINE1.SEGD";
constexpr std::string_view kFolders[] = {"C:\\Data", "C:\\", "/data/reports/", ""};

// Thrown by the progress sink to cut a long walk short; caught below.
struct WalkTooLong {};

struct Settings {
  OutputSelection selection{};
  bool recordOpens = true;
  bool reportCreatable = true;
  std::int64_t failAfter = -1;  // bytes accepted before a write fails
  char separator = '\\';
  std::string folder;
  std::string name;
};

Settings ReadSettings(Input prefix) {
  Settings s;
  const bool otherValue = (prefix[4] & 0x10) != 0;
  for (int i = 0; i < kSelectionEntries; ++i) {
    const bool bit = (prefix[static_cast<std::size_t>(i / 8)] >> (i % 8)) & 1;
    s.selection[static_cast<std::size_t>(i)] = bit ? 1 : (otherValue ? 2 : 0);
  }
  const std::uint8_t flags = prefix[5];
  s.recordOpens = (flags & 0x01) == 0;
  s.reportCreatable = (flags & 0x02) == 0;
  if (flags & 0x04) s.failAfter = 8 * ((prefix[6] << 8) | prefix[7]);
  s.separator = (flags & 0x08) ? '/' : '\\';
  s.folder = kFolders[(flags >> 4) & 3];
  const auto name = prefix.subspan(8, 8);
  s.name.assign(name.begin(), std::find(name.begin(), name.end(), std::uint8_t{0}));
  return s;
}

class Host final : public NoticeSink, public ProgressSink, public ReportViewer, public OutputNameSource, public FileAccess {
 public:
  Host(const Settings& settings, Input record) : settings_(settings), record_(record) {}

  std::vector<std::string> notices;
  std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
  std::vector<std::int32_t> positions;
  std::vector<std::string> viewed;
  int nameReads = 0;
  int reportsCreated = 0;
  std::string reportPath;
  std::string report;
  bool writeFailed = false;

  void ShowNotice(std::string_view text, std::string_view caption, NoticeKind) override {
    notices.push_back(std::string(text) + "|" + std::string(caption));
  }
  void SetRange(std::int32_t lowest, std::int32_t highest) override {
    ranges.emplace_back(lowest, highest);
    if (highest > kFuzzTraceLimit) throw WalkTooLong{};
  }
  void SetPosition(std::int32_t value) override { positions.push_back(value); }
  void ViewReport(const std::string& path) override { viewed.push_back(path); }
  std::string OutputName() override {
    ++nameReads;
    return settings_.name;
  }
  std::unique_ptr<ByteSource> OpenRecord(const std::string&) override {
    if (!settings_.recordOpens) return nullptr;
    return std::make_unique<MemoryByteSource>(record_);
  }
  std::unique_ptr<ByteSink> CreateReport(const std::string& path, const std::string&) override {
    reportPath = path;
    if (!settings_.reportCreatable) return nullptr;
    ++reportsCreated;
    report.clear();
    return std::make_unique<Sink>(*this);
  }

 private:
  class Sink final : public ByteSink {
   public:
    explicit Sink(Host& host) : host_(host) {}
    bool Write(const char* data, std::size_t size) override {
      const std::int64_t limit = host_.settings_.failAfter;
      if (limit >= 0 && static_cast<std::int64_t>(host_.report.size() + size) > limit) {
        host_.report.append(data, static_cast<std::size_t>(limit - static_cast<std::int64_t>(host_.report.size())));
        host_.writeFailed = true;
        return false;
      }
      host_.report.append(data, size);
      return true;
    }
    bool Close() override { return true; }

   private:
    Host& host_;
  };

  const Settings& settings_;
  Input record_;
};

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The report's lines, split at CR LF (field texts may hold any byte, a bare
// CR or LF stays inside its line). Looks for the LF alone: cheaper under the
// fuzzer than comparing two characters everywhere.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', end + 1)) {
    if (end > start && text[end - 1] == '\r') {
      lines.push_back(text.substr(start, end - 1 - start));
      start = end + 1;
    }
  }
  return lines;
}

// The notice texts that end a run without a report (text|caption).
bool IsStoppingNotice(std::string_view notice, std::string_view reportPath) {
  const std::size_t bar = notice.rfind('|');
  const std::string_view text = notice.substr(0, bar);
  const std::string_view caption = notice.substr(bar + 1);
  if (caption.empty()) {
    const std::string_view trimmed = TrimBlanks(text);
    return text.size() == 80 &&
           (EndsWith(trimmed, " is an invalid SEGD Format Code. This is not a SEG D File.") ||
            trimmed == "Invalid Sample Rate Code - the code to indicate sample rate is not correct" ||
            trimmed == "Invalid Record Type Code - The code indicating record type should be 2 or 8");
  }
  return notice == "Enter a File Name for the Results|Specify a File" ||
         (notice.starts_with("The output name ") && EndsWith(notice, " cannot be used as a file name|Specify a File")) ||
         notice == std::string("Cannot open ") + std::string(kRecordPath) + "|Open Failed" ||
         notice == "Cannot create the report file " + std::string(reportPath) + "|Report Not Written" ||
         notice == "The report file " + std::string(reportPath) + " could not be written completely|Report Not Written";
}

constexpr std::string_view kSectionTitles[] = {"General Headers", "Channel Set Headers (Unused headers not displayed)",
                                               "Extended Header", "External Header"};

std::string CheckWrittenReport(const Settings& s, const Host& host) {
  if (host.reportsCreated != 1) return "a report was claimed but " + std::to_string(host.reportsCreated) + " created";
  if (host.writeFailed) return "a report whose write failed was claimed as written";
  if (!host.report.starts_with("Disk File      : " + std::string(kRecordPath) + "\r\n")) {
    return "the report does not open with the Disk File line";
  }
  if (!EndsWith(host.report, "\r\n")) return "the report's last line has no line end";
  const std::vector<std::string_view> lines = SplitLines(host.report);
  const std::string separator(89, '-');
  for (int i = 0; i < 4; ++i) {
    // No field is 89 characters wide, so only a listing writes a banner.
    std::size_t banners = 0;
    for (std::size_t n = 1; n + 1 < lines.size(); ++n) {
      if (lines[n] == kSectionTitles[i] && lines[n - 1] == separator && lines[n + 1] == separator) ++banners;
    }
    const std::size_t expected = IsSelected(s.selection, kSelectGeneralHeaders + i) ? 1 : 0;
    if (banners != expected) return "section " + std::string(kSectionTitles[i]) + " is not there once";
  }
  if (host.ranges.size() != 1 || host.ranges[0].first != 0) return "the progress range was not set once from 0";
  const std::int32_t traces = host.ranges[0].second;
  if (traces < 0) return "a negative trace count reached the progress range";
  if (host.positions.size() != static_cast<std::size_t>(traces)) return "progress positions do not count the traces";
  for (std::size_t i = 0; i < host.positions.size(); ++i) {
    if (host.positions[i] != static_cast<std::int32_t>(i + 1)) return "progress positions are not 1, 2, 3, ...";
  }
  // Preamble, heading and one line per trace at the least.
  if (lines.size() < 14 + static_cast<std::size_t>(traces)) return "the report is missing lines";
  const bool view = IsSelected(s.selection, kSelectViewReport);
  if (host.viewed != (view ? std::vector<std::string>{host.reportPath} : std::vector<std::string>{})) {
    return "the viewer was not started exactly when asked";
  }
  return {};
}

}  // namespace

namespace {

std::string CheckOneRun(const Settings& settings, const Host& host, std::int32_t result) {
  if (host.nameReads > 1) return "the output name was read more than once";
  const bool toldCut = !host.notices.empty() && host.notices.back().starts_with("The record file ends inside trace ") &&
                       EndsWith(host.notices.back(), " on were read past its end|Record Cut Short");
  if (result == kReportWritten && toldCut) return "a complete record was told cut short";
  if (result == kReportWrittenRecordCut && !toldCut) return "a record cut short was not told last";
  if (result == kReportWritten || result == kReportWrittenRecordCut) return CheckWrittenReport(settings, host);
  if (result != kNoReport) return "DecodeFile returned " + std::to_string(result);
  if (host.notices.empty()) return "the run ended without a report and without a notice";
  if (!IsStoppingNotice(host.notices.back(), host.reportPath)) return "the last notice does not say why: " + host.notices.back();
  if (!host.viewed.empty()) return "the viewer was started without a report";
  if (host.writeFailed && !EndsWith(host.notices.back(), "could not be written completely|Report Not Written")) {
    return "a failed write was not reported";
  }
  if (!settings.recordOpens && host.notices.size() != 1) return "an unopened record gave more than its one notice";
  return {};
}

}  // namespace

std::string CheckDecodeRun(Input input) {
  if (input.size() < kDecodeRunPrefix) return {};
  const Settings settings = ReadSettings(input.first(kDecodeRunPrefix));
  const Input record = input.subspan(kDecodeRunPrefix);
  TraceFields fields;  // the window's arrays, kept from run to run

  Host first(settings, record);
  ScanContext context{first, settings.selection, fields, first, first, first, first, settings.folder, settings.separator};
  std::int32_t result;
  try {
    result = DecodeFile(std::string(kRecordPath), context);
  } catch (const WalkTooLong&) {
    return {};
  }
  if (std::string broken = CheckOneRun(settings, first, result); !broken.empty()) return broken;

  // A second run over the same record followed by zero bytes must do exactly
  // the same: nothing of a run survives into the next, and bytes past the
  // end of a record read as zeros whether or not the file holds them.
  std::vector<std::uint8_t> padded(record.begin(), record.end());
  padded.resize(padded.size() + 4096, 0);
  Host second(settings, padded);
  ScanContext again{second, settings.selection, fields, second, second, second, second, settings.folder, settings.separator};
  // Only whether the record is told cut short may differ: it follows the
  // file's size, which the padding changes.
  auto uncut = [](std::int32_t status, std::vector<std::string> notices) {
    if (status == kReportWrittenRecordCut) notices.pop_back();
    return std::pair(status == kReportWrittenRecordCut ? kReportWritten : status, notices);
  };
  const std::int32_t againResult = DecodeFile(std::string(kRecordPath), again);
  if (uncut(againResult, second.notices) != uncut(result, first.notices) ||
      second.report != first.report || second.positions != first.positions || second.viewed != first.viewed) {
    return "a second run, over the record and some zero bytes, did not do the same";
  }
  return {};
}

}  // namespace segd::fuzz

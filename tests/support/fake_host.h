#pragma once
// A scan host in memory: the record is a byte vector, reports are strings,
// notices, progress and viewer calls are recorded for the tests to check.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "output/report/decode_file.h"

namespace segd::testing {

struct Notice {
  std::string text;
  std::string caption;
  NoticeKind kind;
};

class FakeHost final : public NoticeSink, public ProgressSink, public ReportViewer, public OutputNameSource, public FileAccess {
 public:
  std::vector<std::uint8_t> record;
  bool recordOpens = true;
  bool reportCreatable = true;
  // When >= 0, report writes fail once this many bytes were accepted.
  std::int64_t failReportAfter = -1;
  std::string name = "results";
  std::string folder = "C:\\Data";
  char separator = '\\';
  OutputSelection selection{};
  TraceFields fields;

  std::vector<Notice> notices;
  std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
  std::vector<std::int32_t> positions;
  std::vector<std::string> viewed;
  std::map<std::string, std::string> reports;  // path -> bytes written
  int nameReads = 0;

  std::int32_t Run(const std::string& path = "C:\\Data\\LINE1.SEGD") {
    ScanContext context{*this, selection, fields, *this, *this, *this, *this, folder, separator};
    return DecodeFile(path, context);
  }

  // The text of the one report written (empty when none).
  std::string Report() const { return reports.empty() ? std::string() : reports.begin()->second; }
  // The report split at CR LF; a missing final CR LF shows as a last
  // partial line.
  std::vector<std::string> ReportLines() const {
    std::vector<std::string> lines;
    const std::string text = Report();
    std::size_t start = 0;
    while (start < text.size()) {
      const std::size_t end = text.find("\r\n", start);
      if (end == std::string::npos) {
        lines.push_back(text.substr(start));
        break;
      }
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }
  void SelectAll() {
    for (int i = 0; i <= kSelectExternalHeader; ++i) selection[static_cast<std::size_t>(i)] = 1;
  }

  void ShowNotice(std::string_view text, std::string_view caption, NoticeKind kind) override {
    notices.push_back({std::string(text), std::string(caption), kind});
  }
  void SetRange(std::int32_t lowest, std::int32_t highest) override { ranges.emplace_back(lowest, highest); }
  void SetPosition(std::int32_t value) override { positions.push_back(value); }
  void ViewReport(const std::string& path) override { viewed.push_back(path); }
  std::string OutputName() override {
    ++nameReads;
    return name;
  }
  std::unique_ptr<ByteSource> OpenRecord(const std::string&) override {
    if (!recordOpens) return nullptr;
    return std::make_unique<MemoryByteSource>(record);
  }
  std::unique_ptr<ByteSink> CreateReport(const std::string& reportPath, const std::string&) override {
    if (!reportCreatable) return nullptr;
    reports[reportPath].clear();
    return std::make_unique<StringSink>(reports[reportPath], failReportAfter);
  }

 private:
  class StringSink final : public ByteSink {
   public:
    StringSink(std::string& out, std::int64_t failAfter) : out_(out), failAfter_(failAfter) {}
    bool Write(const char* data, std::size_t size) override {
      if (failAfter_ >= 0 && static_cast<std::int64_t>(out_.size() + size) > failAfter_) {
        out_.append(data, static_cast<std::size_t>(failAfter_ - static_cast<std::int64_t>(out_.size())));
        return false;
      }
      out_.append(data, size);
      return true;
    }
    bool Close() override { return true; }

   private:
    std::string& out_;
    std::int64_t failAfter_;
  };
};

}  // namespace segd::testing

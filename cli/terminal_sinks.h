#pragma once
// The run's sinks on a terminal: notices as lines on standard error, progress
// as a bar on standard error when it is a terminal, the viewer as the
// desktop's opener.
#include <cstdint>
#include <string>

#include "output/report/decode_file.h"

namespace segd::cli {

// The text with LF as "\n", CR as "\r" and other control characters
// (below 0x20, 0x7F) as "\xHH".
std::string EscapeControls(std::string_view text);

// "segdreport: RECORD: [warning: ][caption: ]text", one line per notice.
class StderrNotices final : public NoticeSink {
 public:
  explicit StderrNotices(std::string record = {}) : record_(std::move(record)) {}
  void ShowNotice(std::string_view text, std::string_view caption, NoticeKind kind) override;
  void Show(const model::Notice& notice) {
    ShowNotice(notice.text, notice.caption,
               notice.level == model::NoticeLevel::Warning ? NoticeKind::Warning : NoticeKind::Plain);
  }

 private:
  std::string record_;
};

class TerminalProgress final : public ProgressSink {
 public:
  explicit TerminalProgress(bool enabled) : enabled_(enabled) {}
  ~TerminalProgress() override;
  void SetRange(std::int32_t lowest, std::int32_t highest) override;
  void SetPosition(std::int32_t value) override;

 private:
  void Draw(int percent);
  bool enabled_;
  bool drawn_ = false;
  std::int32_t lowest_ = 0;
  std::int32_t highest_ = 0;
  int lastPercent_ = -1;
};

class DesktopViewer final : public ReportViewer {
 public:
  explicit DesktopViewer(NoticeSink& notices) : notices_(notices) {}
  void ViewReport(const std::string& path) override;

 private:
  NoticeSink& notices_;
};

class FixedName final : public OutputNameSource {
 public:
  explicit FixedName(std::string name) : name_(std::move(name)) {}
  std::string OutputName() override { return name_; }

 private:
  std::string name_;
};

}  // namespace segd::cli

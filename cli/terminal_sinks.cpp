#include "cli/terminal_sinks.h"

#include <cstdio>
#include <cstdlib>

namespace segd::cli {

std::string EscapeControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c == 0x7F) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

void StderrNotices::ShowNotice(std::string_view text, std::string_view caption, NoticeKind kind) {
  std::string line = "segdreport: ";
  if (!record_.empty()) line += EscapeControls(record_) + ": ";
  // A record that cannot be opened ends the run: an error, not a warning.
  if (caption == "Open Failed") {
    line += "error: ";
  } else if (kind == NoticeKind::Warning) {
    line += "warning: ";
  }
  if (!caption.empty()) {
    line.append(caption);
    line += ": ";
  }
  // Verbatim, trailing blanks included; control characters (a path may hold
  // them) escaped so that each notice stays one line.
  line += EscapeControls(text);
  line += '\n';
  std::fflush(stderr);
  std::fwrite(line.data(), 1, line.size(), stderr);
}

TerminalProgress::~TerminalProgress() {
  if (drawn_) std::fputs("\n", stderr);
}

void TerminalProgress::SetRange(std::int32_t lowest, std::int32_t highest) {
  lowest_ = lowest;
  highest_ = highest;
  lastPercent_ = -1;
}

void TerminalProgress::SetPosition(std::int32_t value) {
  if (!enabled_) return;
  const std::int64_t span = static_cast<std::int64_t>(highest_) - lowest_;
  const int percent = span <= 0 ? 100 : static_cast<int>((static_cast<std::int64_t>(value) - lowest_) * 100 / span);
  if (percent != lastPercent_) Draw(percent);
}

void TerminalProgress::Draw(int percent) {
  lastPercent_ = percent;
  constexpr int kWidth = 40;
  const int filled = percent * kWidth / 100;
  std::string bar = "\rtraces [";
  bar.append(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kWidth - filled), ' ');
  bar += "] " + std::to_string(percent) + "%";
  std::fputs(bar.c_str(), stderr);
  std::fflush(stderr);
  drawn_ = true;
}

}  // namespace segd::cli

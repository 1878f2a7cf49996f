#include "cli/terminal_sinks.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace segd::cli {

void StderrNotices::ShowNotice(std::string_view text, std::string_view caption, NoticeKind kind) {
  std::string line = "segdreport: ";
  if (kind == NoticeKind::Warning) line += "warning: ";
  if (!caption.empty()) {
    line.append(caption);
    line += ": ";
  }
  line.append(text);  // verbatim, trailing blanks included
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

void DesktopViewer::ViewReport(const std::string& path) {
  // Detached: a child that starts the opener in its own session and exits at
  // once, so the scanner never waits for the viewer.
  const pid_t child = fork();
  if (child == 0) {
    setsid();
    if (fork() == 0) {
      const int devnull = open("/dev/null", O_RDWR);
      if (devnull >= 0) {
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
      }
      execlp("xdg-open", "xdg-open", path.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    notices_.ShowNotice("Cannot start the text viewer for " + path, "Viewer not found", NoticeKind::Warning);
  }
}

}  // namespace segd::cli

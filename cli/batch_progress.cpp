#include "cli/batch_progress.h"

#include <cstdio>
#include <string>

namespace segd::cli {

BatchProgress::BatchProgress(bool enabled, std::size_t records) : enabled_(enabled), records_(records) {}

void BatchProgress::Done(std::int64_t traces) {
  ++done_;
  traces_ += traces;
  if (!enabled_) return;
  const auto now = Clock::now();
  if (done_ < records_ && now - lastDraw_ < std::chrono::milliseconds(200)) return;
  lastDraw_ = now;
  Draw();
}

void BatchProgress::Draw() {
  const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
  const double perSecond = seconds > 0 ? static_cast<double>(traces_) / seconds : 0;
  const double left = done_ > 0 ? seconds / static_cast<double>(done_) * static_cast<double>(records_ - done_) : 0;
  constexpr std::size_t kWidth = 30;
  const std::size_t filled = records_ > 0 ? done_ * kWidth / records_ : kWidth;
  char text[160];
  std::snprintf(text, sizeof text, "\rrecords %zu/%zu [%s%s] %.0f traces/s, %d:%02d left ", done_, records_,
                std::string(filled, '#').c_str(), std::string(kWidth - filled, ' ').c_str(), perSecond,
                static_cast<int>(left) / 60, static_cast<int>(left) % 60);
  std::fputs(text, stderr);
  std::fflush(stderr);
  drawn_ = true;
}

void BatchProgress::Clear() {
  if (!drawn_) return;
  std::fputs("\r\033[K", stderr);
  drawn_ = false;
}

}  // namespace segd::cli

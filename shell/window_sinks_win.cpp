#include "shell/window_sinks_win.h"

#include <commctrl.h>

#include "shell/control_ids.h"

namespace segd {

namespace {

std::int32_t BarPixels(HWND bar) {
  RECT client{};
  if (!bar || !GetClientRect(bar, &client)) return 0;
  return client.right - client.left;
}

}  // namespace

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

MainWindowSinks::MainWindowSinks(HWND window)
    : window_(window), bar_(GetDlgItem(window, IDC_PROGRESS)), scale_(BarPixels(bar_)) {}

void MainWindowSinks::ShowNotice(std::string_view text, std::string_view caption, NoticeKind kind) {
  const std::string body(text);
  const std::string title(caption);
  const UINT type = MB_OK | (kind == NoticeKind::Warning ? MB_ICONEXCLAMATION : 0);
  MessageBoxA(window_, body.c_str(), title.empty() ? nullptr : title.c_str(), type);
}

void MainWindowSinks::SetRange(std::int32_t lowest, std::int32_t highest) {
  const BarRange range = scale_.SetRange(lowest, highest);
  SendMessageA(bar_, PBM_SETRANGE, 0, MAKELPARAM(range.low, range.high));
}

void MainWindowSinks::SetPosition(std::int32_t value) {
  if (const auto position = scale_.Position(value)) {
    SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(*position), 0);
    // The run holds the window's thread: draw the bar now, not when the run
    // is over.
    UpdateWindow(bar_);
  }
}

std::string MainWindowSinks::OutputName() { return WindowText(GetDlgItem(window_, IDC_OUTPUT_NAME)); }

}  // namespace segd

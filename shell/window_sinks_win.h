#pragma once
// The main window as the environment of a scan: notices as message boxes
// modal to it, the progress bar (IDC_PROGRESS), and the output name box
// (IDC_OUTPUT_NAME) read when the run asks.
#include <windows.h>

#include <string>

#include "output/report/decode_file.h"
#include "app/progress_scale.h"

namespace segd {

// The whole text of a window, in the ANSI code page.
std::string WindowText(HWND window);

class MainWindowSinks final : public NoticeSink, public ProgressSink, public OutputNameSource {
 public:
  explicit MainWindowSinks(HWND window);

  // An OK button; kind warning adds the exclamation icon. An empty caption is
  // left to the platform.
  void ShowNotice(std::string_view text, std::string_view caption, NoticeKind kind) override;
  void SetRange(std::int32_t lowest, std::int32_t highest) override;
  void SetPosition(std::int32_t value) override;
  std::string OutputName() override;

 private:
  HWND window_;
  HWND bar_;
  ProgressScale scale_;
};

}  // namespace segd

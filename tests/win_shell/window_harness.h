#pragma once
// Runs the real segdreport window on a thread of the test program and drives
// it through window messages, as another program would: finds its windows
// and dialogs, clicks, reads the boxes, answers message boxes and the
// open-file dialog.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "shell/view_report_win.h"

namespace segd::test {

using namespace std::chrono_literals;

// Polls `done` until it is true or `timeout` has passed.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 20s);

std::string JoinPath(const std::string& folder, std::string_view name);
std::string CurrentFolderNow();
bool FileExists(const std::string& path);
std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A fresh folder under the temporary folder, removed with its contents.
class TempFolder {
 public:
  explicit TempFolder(std::string_view tag);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(std::string_view name) const { return JoinPath(path_, name); }
  // A sub-folder (created), e.g. one with blanks in its name.
  std::string Folder(std::string_view name) const;

 private:
  std::string path_;
};

// Records the command lines the viewer would start.
class RecordingStarter final : public ProcessStarter {
 public:
  explicit RecordingStarter(bool succeed = true) : succeed_(succeed) {}
  bool Start(const std::string& commandLine) override;
  std::vector<std::string> Lines() const;

 private:
  bool succeed_;
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

// What a message box showed.
struct MessageBoxSeen {
  std::string caption;
  std::string text;
  bool icon = false;
  bool modalToMainWindow = false;  // owned by it, with the window disabled meanwhile
};

// The program, from start-up to the window's end, on its own thread, with
// `programFolder` as the current folder at start-up.
class RunningWindow {
 public:
  RunningWindow(const std::string& programFolder, ProcessStarter& starter);
  ~RunningWindow();
  RunningWindow(const RunningWindow&) = delete;
  RunningWindow& operator=(const RunningWindow&) = delete;

  HWND Window() const { return window_; }
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  bool IsOpen() const;
  // True once the program's thread has returned.
  bool WaitClosed(std::chrono::milliseconds timeout = 20s);
  // True when the window handles messages again (no run, no modal dialog
  // holding its thread).
  bool WaitIdle(std::chrono::milliseconds timeout = 60s);

  bool Checked(int id) const;
  std::string Text(int id) const;
  void SetText(int id, std::string_view text);
  // A click through the button itself; returns when its command is handled.
  void Click(int id);
  // A click that may open a modal dialog: returns at once.
  void PostClick(int id);
  // WM_COMMAND with the given notification code, as a control would send.
  void Command(int id, WORD notification);

  std::int32_t ProgressPosition() const;
  std::pair<std::int32_t, std::int32_t> ProgressRange() const;

  // A dialog of the window's thread other than the main window: a message
  // box or the file dialog. Null when none appeared within `timeout`.
  HWND WaitForDialog(std::string_view caption, std::chrono::milliseconds timeout = 20s) const;
  HWND WaitForAnyDialog(std::chrono::milliseconds timeout = 20s) const;
  // Reads the message box and presses OK.
  MessageBoxSeen AnswerMessageBox(HWND box) const;
  // Types the full path into the open dialog's name box and confirms.
  void AnswerOpenDialog(HWND dialog, const std::string& path) const;
  void CancelDialog(HWND dialog) const;

 private:
  std::string startFolder_;
  std::thread thread_;
  DWORD threadId_ = 0;
  HWND window_ = nullptr;
  HANDLE ended_ = nullptr;
};

// Scans `record` with "Open": posts the click, answers the dialog with the
// path and waits until the window is idle again. Message boxes met on the
// way are answered and returned.
std::vector<MessageBoxSeen> OpenAndScan(RunningWindow& window, const std::string& record);

}  // namespace segd::test

#include "window_harness.h"

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>

#include "shell/control_ids.h"
#include "shell/startup_win.h"

namespace segd::test {

namespace {

std::atomic<unsigned> folderCounter{0};

std::string ClassName(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

struct DialogSearch {
  HWND main;
  std::string_view caption;
  bool anyCaption;
  HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<DialogSearch*>(param);
  if (window == search.main || !IsWindowVisible(window) || ClassName(window) != "#32770") return TRUE;
  if (!search.anyCaption && TextOf(window) != search.caption) return TRUE;
  search.found = window;
  return FALSE;
}

BOOL CALLBACK FindIcon(HWND child, LPARAM param) {
  if (ClassName(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
      IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0) != 0) {
    *reinterpret_cast<bool*>(param) = true;
    return FALSE;
  }
  return TRUE;
}

// The message text of a message box: the static control 0xFFFF on Windows
// and Wine alike.
constexpr int kMessageBoxTextId = 0xFFFF;
// The file name box (cmb13) of the Explorer-style open dialog.
constexpr int kFileNameBoxId = 0x47C;

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(20);
  }
  return true;
}

std::string JoinPath(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (!path.empty() && path.back() != '\\') path.push_back('\\');
  path.append(name);
  return path;
}

std::string CurrentFolderNow() {
  char buffer[MAX_PATH * 4] = {};
  const DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  return std::string(buffer, n < sizeof buffer ? n : 0);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TempFolder::TempFolder(std::string_view tag) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  path_ = JoinPath(temp, "segd_shell_" + std::string(tag) + "_" + std::to_string(GetCurrentProcessId()) + "_" +
                             std::to_string(folderCounter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Folder(std::string_view name) const {
  const std::string folder = File(name);
  std::filesystem::create_directories(folder);
  return folder;
}

bool RecordingStarter::Start(const std::string& commandLine) {
  std::lock_guard lock(mutex_);
  lines_.push_back(commandLine);
  return succeed_;
}

std::vector<std::string> RecordingStarter::Lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

RunningWindow::RunningWindow(const std::string& programFolder, ProcessStarter& starter)
    : startFolder_(CurrentFolderNow()) {
  SetCurrentDirectoryA(programFolder.c_str());
  ended_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::promise<DWORD> started;
  auto threadId = started.get_future();
  thread_ = std::thread([this, &starter, &started] {
    started.set_value(GetCurrentThreadId());
    ProgramMain(GetModuleHandleA(nullptr), starter);
    SetEvent(ended_);
  });
  threadId_ = threadId.get();
  WaitUntil([this] {
    DialogSearch search{nullptr, "Kelvane", false};
    EnumThreadWindows(threadId_, FindDialog, reinterpret_cast<LPARAM>(&search));
    window_ = search.found;
    return window_ != nullptr;
  });
}

RunningWindow::~RunningWindow() {
  if (!WaitClosed(0ms)) {
    // Dismiss whatever modal dialog is left, then close the window.
    for (int i = 0; i < 10; ++i) {
      if (HWND dialog = WaitForAnyDialog(0ms)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
      if (WaitClosed(2s)) break;
    }
  }
  if (thread_.joinable()) thread_.join();
  CloseHandle(ended_);
  SetCurrentDirectoryA(startFolder_.c_str());
}

bool RunningWindow::IsOpen() const { return window_ && IsWindow(window_); }

bool RunningWindow::WaitClosed(std::chrono::milliseconds timeout) {
  return WaitForSingleObject(ended_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

bool RunningWindow::WaitIdle(std::chrono::milliseconds timeout) {
  return WaitUntil(
      [this] {
        if (WaitForAnyDialog(0ms)) return false;
        DWORD_PTR ignored = 0;
        // A run holds the thread without handling sent messages; a modal
        // dialog handles them in its own loop, hence the check before and
        // after.
        if (!SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 200, &ignored)) return false;
        return WaitForAnyDialog(0ms) == nullptr;
      },
      timeout);
}

bool RunningWindow::Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::string RunningWindow::Text(int id) const { return TextOf(Item(id)); }

void RunningWindow::SetText(int id, std::string_view text) {
  SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::string(text).c_str()));
}

void RunningWindow::Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }

void RunningWindow::PostClick(int id) {
  PostMessageA(window_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

void RunningWindow::Command(int id, WORD notification) {
  SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(Item(id)));
}

std::int32_t RunningWindow::ProgressPosition() const {
  return static_cast<std::int32_t>(SendMessageA(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0));
}

std::pair<std::int32_t, std::int32_t> RunningWindow::ProgressRange() const {
  PBRANGE range{};
  SendMessageA(Item(IDC_PROGRESS), PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  return {range.iLow, range.iHigh};
}

HWND RunningWindow::WaitForDialog(std::string_view caption, std::chrono::milliseconds timeout) const {
  DialogSearch search{window_, caption, false};
  WaitUntil(
      [&] {
        EnumThreadWindows(threadId_, FindDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeout);
  return search.found;
}

HWND RunningWindow::WaitForAnyDialog(std::chrono::milliseconds timeout) const {
  DialogSearch search{window_, {}, true};
  WaitUntil(
      [&] {
        EnumThreadWindows(threadId_, FindDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeout);
  return search.found;
}

MessageBoxSeen RunningWindow::AnswerMessageBox(HWND box) const {
  MessageBoxSeen seen;
  seen.caption = TextOf(box);
  seen.text = TextOf(GetDlgItem(box, kMessageBoxTextId));
  EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&seen.icon));
  seen.modalToMainWindow = GetWindow(box, GW_OWNER) == window_ && !IsWindowEnabled(window_);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitUntil([box] { return !IsWindow(box); });
  return seen;
}

void RunningWindow::AnswerOpenDialog(HWND dialog, const std::string& path) const {
  SetDlgItemTextA(dialog, kFileNameBoxId, path.c_str());
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  WaitUntil([dialog] { return !IsWindow(dialog); });
}

void RunningWindow::CancelDialog(HWND dialog) const {
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  WaitUntil([dialog] { return !IsWindow(dialog); });
}

std::vector<MessageBoxSeen> OpenAndScan(RunningWindow& window, const std::string& record) {
  std::vector<MessageBoxSeen> seen;
  window.PostClick(IDC_OPEN);
  HWND dialog = window.WaitForDialog("Select File To Open");
  if (!dialog) return seen;
  window.AnswerOpenDialog(dialog, record);
  WaitUntil(
      [&] {
        if (HWND box = window.WaitForAnyDialog(0ms)) {
          seen.push_back(window.AnswerMessageBox(box));
          return false;
        }
        return window.WaitIdle(300ms);
      },
      120s);
  return seen;
}

}  // namespace segd::test

#include "quenlib_dialog_answer.h"

#include <utility>

namespace segd::test {

namespace {

constexpr DWORD kShowTimeoutMs = 30000;
constexpr DWORD kCloseTimeoutMs = 15000;
constexpr DWORD kPollMs = 50;
// The dialog fills its controls just after it shows.
constexpr DWORD kSettleMs = 200;

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct StrayWindows {
  HWND dialog;
  std::string captions;
};

// Closes any other dialog of the file dialog's thread (a message box the
// dialog raised instead of closing), so that a failing test cannot hang.
BOOL CALLBACK CloseStray(HWND window, LPARAM context) {
  auto* stray = reinterpret_cast<StrayWindows*>(context);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (window != stray->dialog && std::string(className) == "#32770" && IsWindowVisible(window)) {
    stray->captions += WindowText(window) + ";";
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

bool WaitUntilGone(HWND window, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    if (!IsWindow(window)) return true;
    Sleep(kPollMs);
  }
  return !IsWindow(window);
}

}  // namespace

DialogAnswerer::DialogAnswerer(std::string caption, std::optional<std::string> typedName)
    : caption_(std::move(caption)), typedName_(std::move(typedName)) {
  thread_ = std::thread([this] { Run(); });
}

DialogAnswerer::~DialogAnswerer() {
  if (thread_.joinable()) thread_.join();
}

const DialogSeen& DialogAnswerer::Wait() {
  if (thread_.joinable()) thread_.join();
  return seen_;
}

void DialogAnswerer::Run() {
  HWND dialog = nullptr;
  for (DWORD waited = 0; waited < kShowTimeoutMs; waited += kPollMs) {
    dialog = FindWindowA("#32770", caption_.c_str());
    if (dialog != nullptr && IsWindowVisible(dialog)) break;
    dialog = nullptr;
    Sleep(kPollMs);
  }
  if (dialog == nullptr) return;
  seen_.found = true;
  Sleep(kSettleMs);

  char name[1024] = {};
  GetDlgItemTextA(dialog, kFileNameBoxId, name, sizeof name);
  seen_.nameField = name;
  if (HWND types = GetDlgItem(dialog, kFileTypeBoxId)) {
    const LRESULT count = SendMessageA(types, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      std::string item(static_cast<std::size_t>(SendMessageA(types, CB_GETLBTEXTLEN, i, 0)), '\0');
      SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
      seen_.fileTypes.push_back(item.c_str());
    }
    seen_.selectedFileType = static_cast<int>(SendMessageA(types, CB_GETCURSEL, 0, 0));
  }

  if (typedName_) {
    SetDlgItemTextA(dialog, kFileNameBoxId, typedName_->c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  } else {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
  seen_.closed = WaitUntilGone(dialog, kCloseTimeoutMs);
  if (!seen_.closed) {
    StrayWindows stray{dialog, {}};
    EnumThreadWindows(GetWindowThreadProcessId(dialog, nullptr), CloseStray,
                      reinterpret_cast<LPARAM>(&stray));
    seen_.stray = stray.captions;
    Sleep(500);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    WaitUntilGone(dialog, kCloseTimeoutMs);
  }
}

}  // namespace segd::test

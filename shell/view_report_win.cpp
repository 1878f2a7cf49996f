#include "shell/view_report_win.h"

#include <windows.h>

#include <vector>

#include "shell/win_handles.h"

namespace segd {

namespace {

constexpr UINT kWindowsFolderBuffer = 250;

}  // namespace

bool CreateProcessStarter::Start(const std::string& commandLine) {
  // CreateProcessA may write into its command line; give it a copy.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMAXIMIZED;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  UniqueKernelHandle thread(process.hThread);
  UniqueKernelHandle started(process.hProcess);
  return true;
}

std::string WindowsFolder() {
  std::string buffer(kWindowsFolderBuffer, '\0');
  UINT n = GetWindowsDirectoryA(buffer.data(), kWindowsFolderBuffer);
  // A folder too long for the buffer reports the size it needs and leaves
  // the buffer undefined: ask once more with that size.
  if (n >= kWindowsFolderBuffer) {
    buffer.assign(n, '\0');
    n = GetWindowsDirectoryA(buffer.data(), n);
    if (n >= buffer.size()) n = 0;
  }
  buffer.resize(n);
  return buffer;
}

std::string NotepadCommandLine(std::string_view windowsFolder, std::string_view reportPath) {
  std::string line(windowsFolder);
  line.append("\\notepad.exe ");
  line.append(reportPath);
  return line;
}

void NotepadViewer::ViewReport(const std::string& path) {
  if (!starter_.Start(NotepadCommandLine(WindowsFolder(), path))) {
    notices_.ShowNotice(kNotepadFailedText, kNotepadFailedCaption, NoticeKind::Warning);
  }
}

}  // namespace segd

// The Windows half of cli/console.h, and the viewer: Notepad, started as the
// Windows program starts it.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cli/console.h"
#include "cli/terminal_sinks.h"
#include "shell/view_report_win.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace segd::cli {

void PrepareConsole() {
  // Windows has no SIGPIPE or SIGXFSZ: such writes already fail as writes.
  _setmode(_fileno(stdout), _O_BINARY);
}

bool StderrIsTerminal() {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (error == INVALID_HANDLE_VALUE || error == nullptr || !GetConsoleMode(error, &mode)) return false;
  // The batch bar wipes its line with an escape sequence; consoles before
  // Windows 10 refuse the mode and show the bar without the wipe.
  SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  return true;
}

std::string CurrentFolder() {
  const DWORD size = GetCurrentDirectoryA(0, nullptr);
  std::string folder(size, '\0');
  const DWORD length = size ? GetCurrentDirectoryA(size, folder.data()) : 0;
  if (length == 0 || length >= size) return ".";
  folder.resize(length);
  return folder;
}

bool WriteStdout(const char* data, std::size_t size) {
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == INVALID_HANDLE_VALUE || out == nullptr) return size == 0;
  while (size > 0) {
    const DWORD chunk = size > 0x10000u ? 0x10000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(out, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

void DesktopViewer::ViewReport(const std::string& path) {
  CreateProcessStarter starter;
  NotepadViewer(starter, notices_).ViewReport(path);
}

}  // namespace segd::cli

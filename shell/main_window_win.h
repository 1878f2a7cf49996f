#pragma once
// The main window: its program-wide state, the dialog procedure and the
// command handling. The state reaches the dialog procedure through the
// LPARAM of the dialog's creation and lives in its DWLP_USER slot.
#include <windows.h>

#include <string>

#include "dialoglib/file_dialogs.h"
#include "output/report/trace_fields.h"
#include "app/settings.h"
#include "shell/view_report_win.h"

namespace segd {

struct ShellState {
  OutputSelection selection{};
  TraceFields traceFields;
  std::string programFolder;     // current folder at start-up, ending in "\"
  std::string rememberedFolder;  // initial folder of the file choice
  std::string rememberedName;    // output name shown at start-up
  SettingsRecord settings;       // as read at start-up; "End" fills and stores it
  bool fileProcessed = false;    // a run was started from the window
  HWND window = nullptr;
  ProcessStarter* processStarter = nullptr;  // for the report viewer
};

inline constexpr std::string_view kOpenCaption = "Select File To Open";

// The path of the defaults file in the program folder.
std::string DefaultsPath(const ShellState& state);

// Shows the window modally until "End" or a close command ends it.
INT_PTR ShowMainWindow(HINSTANCE instance, ShellState& state);

}  // namespace segd

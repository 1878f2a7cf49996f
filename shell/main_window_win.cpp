#include "shell/main_window_win.h"

#include <commctrl.h>

#include "dialoglib/file_dialogs.h"
#include "output/report/report_name.h"
#include "shell/control_ids.h"
#include "shell/dialog_template_win.h"
#include "app/shell_paths.h"
#include "shell/win_handles.h"
#include "shell/window_sinks_win.h"

namespace segd {

namespace {

// Push buttons act on a click (0) and on code 1 (an accelerator); their other
// notifications are ignored.
constexpr WORD kClickNotification = BN_CLICKED;
constexpr WORD kAcceleratorNotification = 1;

ShellState* StateOf(HWND window) { return reinterpret_cast<ShellState*>(GetWindowLongPtrA(window, DWLP_USER)); }

void ShowSelection(const ShellState& state) {
  for (int entry = 0; entry < kSelectionBoxes; ++entry) {
    const bool checked = IsSelected(state.selection, entry);
    CheckDlgButton(state.window, SelectionBox(entry), checked ? BST_CHECKED : BST_UNCHECKED);
  }
}

// A themed progress bar is drawn in the theme's colour whatever its bar
// colour says (Wine themes it even without a manifest). Giving it a theme
// name that matches no theme leaves it drawn classically, in red.
void ShowBarInItsOwnColour(HWND bar) {
  using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  const UniqueModule uxtheme(LoadLibraryA("UXTHEME.DLL"));
  if (!uxtheme) return;  // no visual styles on this system
  const auto setTheme = reinterpret_cast<SetWindowThemeFunction>(
      reinterpret_cast<void*>(GetProcAddress(uxtheme.Get(), "SetWindowTheme")));
  if (setTheme) setTheme(bar, L" ", L" ");
}

// The bar's WS_BORDER does not always survive: a 3-D dialog turns it into a
// sunken edge, which the progress control then drops (Wine). Give an
// edgeless bar its plain border back.
void KeepBarBordered(HWND bar) {
  RECT outer{}, inner{};
  GetWindowRect(bar, &outer);
  GetClientRect(bar, &inner);
  if (inner.right < outer.right - outer.left) return;
  SetWindowLongPtrA(bar, GWL_STYLE, GetWindowLongPtrA(bar, GWL_STYLE) | WS_BORDER);
  SetWindowPos(bar, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Start-up steps that need the window: the red smooth bar at 0 of 100, the
// boxes from OutputSelection, the remembered output name.
void InitialiseWindow(ShellState& state) {
  HWND bar = GetDlgItem(state.window, IDC_PROGRESS);
  ShowBarInItsOwnColour(bar);
  KeepBarBordered(bar);
  SendMessageA(bar, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(kRedColour));
  SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  SendMessageA(bar, PBM_SETPOS, 0, 0);
  ShowSelection(state);
  SetDlgItemTextA(state.window, IDC_OUTPUT_NAME, PlatformText(state.rememberedName).c_str());
}

// "All" and "None": the per-trace fields and the four sections; the viewer
// box (entry 34) keeps its state.
void SetFieldsAndSections(ShellState& state, std::int32_t value) {
  for (int entry = 0; entry <= kSelectExternalHeader; ++entry) {
    state.selection[static_cast<std::size_t>(entry)] = value;
    CheckDlgButton(state.window, SelectionBox(entry), value == 1 ? BST_CHECKED : BST_UNCHECKED);
  }
}

// "Open": the file choice, then the scan with the window as its sinks.
void OpenAndScan(ShellState& state) {
  std::string filter;
  const std::string path = ShowOpen(state.window, filter, std::string(kOpenCaption), state.rememberedFolder);
  if (path.empty()) return;

  // On Windows the dialog leaves the chosen file's folder current; Wine's
  // does not. The report belongs in that folder, so make it current here.
  const std::string folder = FolderOfPath(path);
  if (!folder.empty()) SetCurrentDirectoryA(folder.c_str());

  MainWindowSinks sinks(state.window);
  NotepadViewer viewer(*state.processStarter, sinks);
  DiskFileAccess files;
  ScanContext context{sinks, state.selection, state.traceFields, sinks, sinks, viewer, files, CurrentFolder(), '\\'};
  DecodeFile(path, context);

  state.fileProcessed = true;
  // The next choice starts in the folder of this one.
  if (!folder.empty()) state.rememberedFolder = folder;
}

// "End": stores the defaults and closes the window.
void StoreDefaultsAndEnd(ShellState& state) {
  const std::string name = ReportBaseName(WindowText(GetDlgItem(state.window, IDC_OUTPUT_NAME)));
  state.rememberedFolder = CurrentFolder();
  state.settings.selection = state.selection;
  if (state.fileProcessed) state.settings.folderField = state.rememberedFolder;
  state.settings.nameField = name;
  WriteSettingsFile(DefaultsPath(state), state.settings);
  EndDialog(state.window, IDC_END);
}

void HandleCommand(ShellState& state, int id, WORD notification) {
  if (IsSelectionBox(id)) {
    const bool checked = IsDlgButtonChecked(state.window, id) == BST_CHECKED;
    state.selection[static_cast<std::size_t>(SelectionEntry(id))] = checked ? 1 : 0;
    return;
  }
  if (notification != kClickNotification && notification != kAcceleratorNotification) return;
  switch (id) {
    case IDC_OPEN:
      OpenAndScan(state);
      break;
    case IDC_END:
      StoreDefaultsAndEnd(state);
      break;
    case IDC_ALL:
      SetFieldsAndSections(state, 1);
      break;
    case IDC_NONE:
      SetFieldsAndSections(state, 0);
      break;
    default:
      break;  // group boxes, bar, labels, name box, IDOK and IDCANCEL
  }
}

// The credit line in red on the window's usual background.
INT_PTR CreditColours(HWND window, HDC dc, HWND control) {
  if (control != GetDlgItem(window, IDC_CREDIT)) return FALSE;
  SetTextColor(dc, static_cast<COLORREF>(kRedColour));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    ShellState& state = *reinterpret_cast<ShellState*>(lParam);
    state.window = window;
    InitialiseWindow(state);
    return TRUE;
  }
  ShellState* state = StateOf(window);
  if (!state) return FALSE;
  switch (message) {
    case WM_COMMAND:
      HandleCommand(*state, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      // A close command that reaches the window (there is no close box):
      // close at once, defaults not stored.
      EndDialog(window, IDCANCEL);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return CreditColours(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    default:
      return FALSE;
  }
}

}  // namespace

std::string DefaultsPath(const ShellState& state) { return state.programFolder + std::string(kSettingsFileName); }

INT_PTR ShowMainWindow(HINSTANCE instance, ShellState& state) {
  const std::vector<WORD> dialogTemplate = BuildMainWindowTemplate();
  const INT_PTR result = DialogBoxIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()),
                                                 nullptr, MainWindowProc, reinterpret_cast<LPARAM>(&state));
  state.window = nullptr;
  return result;
}

}  // namespace segd

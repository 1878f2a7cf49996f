#pragma once
// The in-memory dialog template of the main window, built from the layout
// table: window and control styles by kind, texts in UTF-16 from the ANSI
// code page.
#include <windows.h>

#include <vector>

#include "shell/main_window_layout.h"

namespace segd {

// Pop-up window, caption bar, modal dialog frame, 3-D look, font from the
// template; no system menu, so no close, minimise or maximise box.
inline constexpr DWORD kMainWindowStyle = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_3DLOOK | DS_SETFONT;

struct ControlClass {
  DWORD style;    // besides WS_CHILD | WS_VISIBLE
  DWORD exStyle;
};
ControlClass ClassStyleOf(ControlKind kind);

// A DLGTEMPLATE with its items, DWORD-aligned, ready for
// DialogBoxIndirectParamA. Kept as WORDs so that the alignment holds.
std::vector<WORD> BuildDialogTemplate(const WindowLayout& window, const ControlLayout* controls, std::size_t count);
std::vector<WORD> BuildMainWindowTemplate();

}  // namespace segd

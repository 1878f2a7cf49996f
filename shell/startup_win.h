#pragma once
// Start-up of the Windows program: common controls, the program-wide state,
// the defaults file, then the main window until it closes.
#include <windows.h>

#include "shell/main_window_win.h"
#include "shell/win_handles.h"

namespace segd {

// Loads "COMCTL32.DLL" by name and registers the common control classes
// (InitCommonControlsEx with the classes 0x9FF, or InitCommonControls when
// that export is missing). The library is held for as long as the returned
// owner lives: the classes it registered are gone once it is unloaded.
UniqueModule InitialiseCommonControls();

// Program folder, defaults file and the state read from it; creates an empty
// defaults file when there is none.
void LoadStartUpState(ShellState& state);

// The whole program: start-up, the window, and its end. The viewer starts
// Notepad through `starter`.
int ProgramMain(HINSTANCE instance, ProcessStarter& starter);

}  // namespace segd

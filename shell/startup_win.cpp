#include "shell/startup_win.h"

#include <commctrl.h>

#include <memory>

#include "app/shell_paths.h"

namespace segd {

namespace {

// The Windows 95 classes, the date classes and the internet classes.
constexpr DWORD kCommonControlClasses = 0x9FF;
static_assert(sizeof(INITCOMMONCONTROLSEX) == 8);

using InitCommonControlsExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
using InitCommonControlsFunction = void(WINAPI*)();

template <typename Function>
Function Export(HMODULE module, const char* name) {
  // GetProcAddress hands out a generic function pointer; the export's real
  // type is known by name.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

UniqueModule InitialiseCommonControls() {
  UniqueModule library(LoadLibraryA("COMCTL32.DLL"));
  if (!library) return library;
  if (auto initEx = Export<InitCommonControlsExFunction>(library.Get(), "InitCommonControlsEx")) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), kCommonControlClasses};
    initEx(&classes);
  } else if (auto init = Export<InitCommonControlsFunction>(library.Get(), "InitCommonControls")) {
    init();
  }
  return library;
}

void LoadStartUpState(ShellState& state) {
  state.selection.fill(0);
  state.traceFields = TraceFields{};
  state.programFolder = FolderWithSeparator(CurrentFolder());
  state.settings = ReadSettingsFile(DefaultsPath(state));
  state.selection = state.settings.selection;
  state.rememberedFolder = RememberedText(state.settings.folderField);
  state.rememberedName = RememberedText(state.settings.nameField);
  state.fileProcessed = false;
}

int ProgramMain(HINSTANCE instance, ProcessStarter& starter) {
  const UniqueModule commonControls = InitialiseCommonControls();
  // A few kilobytes of texts and arrays: on the heap.
  auto state = std::make_unique<ShellState>();
  state->processStarter = &starter;
  LoadStartUpState(*state);
  ShowMainWindow(instance, *state);
  return 0;
}

}  // namespace segd

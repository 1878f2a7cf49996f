// locate_controls.exe OUTPUT CAPTION ID...: writes one line
// "ID X Y CHECK TEXT" per control of the top-level window CAPTION: X and Y
// the centre of the control in screen pixels (ID 0: the window's client
// area), CHECK its BM_GETCHECK state (0 for anything but a check box) and
// TEXT its window text. The end-to-end script
// clicks there with xdotool; under `wine explorer /desktop` the screen is the
// desktop's X window. Exits 1 when the window is not shown within 30 s.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: locate_controls OUTPUT CAPTION ID...\n", stderr);
    return 2;
  }
  // A dialog exists before its initialisation is done; it is shown after.
  HWND window = nullptr;
  for (int i = 0; i < 300; ++i) {
    window = FindWindowA(nullptr, argv[2]);
    if (window && IsWindowVisible(window)) break;
    window = nullptr;
    Sleep(100);
  }
  if (!window) return 1;
  std::string lines;
  for (int a = 3; a < argc; ++a) {
    const int id = std::atoi(argv[a]);
    RECT r{};
    HWND control = window;
    if (id == 0) {
      GetClientRect(window, &r);
      MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else {
      control = GetDlgItem(window, id);
      if (!control) return 1;
      GetWindowRect(control, &r);
    }
    // WM_GETTEXT itself: GetWindowText does not ask a control of another
    // process for its text.
    char text[1100] = {};
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    const LRESULT check = id == 0 ? 0 : SendMessageA(control, BM_GETCHECK, 0, 0);
    lines += std::to_string(id) + " " + std::to_string((r.left + r.right) / 2) + " " +
             std::to_string((r.top + r.bottom) / 2) + " " + std::to_string(check) + " " + text + "\n";
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) return 1;
  std::fwrite(lines.data(), 1, lines.size(), out);
  std::fclose(out);
  return 0;
}

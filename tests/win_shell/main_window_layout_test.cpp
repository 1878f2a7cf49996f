// The window as it stands on the screen: caption, frame, font, and every
// control's class, text, rectangle (dialog units through MapDialogRect),
// style and tab order, checked against the layout written out here
// independently of the program's own table.
#include "window_harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/win_handles.h"

// The bar colour query of comctl32 6.0 and later (also in Wine's comctl32).
#ifndef PBM_GETBARCOLOR
#define PBM_GETBARCOLOR (WM_USER + 15)
#endif

namespace segd::test {
namespace {

enum class Kind { FirstCheck, Check, Button, Group, Bar, Label, Text };

struct Expected {
  int id;
  Kind kind;
  const char* text;  // nullptr: not checked here (the credit line)
  int x, y, w, h;
};

// In creation (tab) order.
const std::vector<Expected> kLayout = {
    {1008, Kind::FirstCheck, "SU Number", 70, 17, 75, 15},
    {1009, Kind::Check, "Line", 70, 29, 75, 15},
    {1010, Kind::Check, "Point", 70, 41, 75, 15},
    {1011, Kind::Check, "Northing", 70, 53, 75, 15},
    {1012, Kind::Check, "Easting", 70, 65, 75, 15},
    {1013, Kind::Check, "Elevation", 70, 77, 75, 15},
    {1014, Kind::Check, "Acq Unit Type", 70, 89, 75, 15},
    {1015, Kind::Check, "Channel Set", 70, 101, 75, 15},
    {1016, Kind::Check, "Gain Code", 70, 113, 75, 15},
    {1017, Kind::Check, "Filter Type", 70, 125, 75, 15},
    {1018, Kind::Check, "Noise Elim Type", 70, 137, 75, 15},
    {1019, Kind::Check, "Process Type", 70, 149, 75, 15},
    {1020, Kind::Check, "Conversion Factor", 70, 161, 75, 15},
    {1021, Kind::Check, "Receiver Type", 70, 173, 75, 15},
    {1022, Kind::Check, "Channel Type", 70, 185, 75, 15},
    {1023, Kind::Check, "Timing Word at 1st Samp.", 70, 197, 90, 15},
    {1024, Kind::Check, "Trace Edit", 70, 209, 75, 15},
    {1025, Kind::Check, "TB to End TBW", 70, 221, 75, 15},
    {1026, Kind::Check, "Num Stacks Low", 180, 77, 75, 15},
    {1027, Kind::Check, "Num Stacks Noisy", 180, 89, 75, 15},
    {1028, Kind::Check, "Resistance", 180, 101, 75, 15},
    {1029, Kind::Check, "SIM (%)", 180, 113, 75, 15},
    {1030, Kind::Check, "IPLS Error", 180, 125, 75, 15},
    {1031, Kind::Check, "IMPD Error", 180, 137, 75, 15},
    {1032, Kind::Check, "Dead", 180, 149, 75, 15},
    {1033, Kind::Check, "Underrun Error", 180, 161, 75, 15},
    {1034, Kind::Check, "Overrun Error", 180, 173, 75, 15},
    {1035, Kind::Check, "Overscale Error", 180, 185, 75, 15},
    {1036, Kind::Check, "Data Error", 180, 197, 75, 15},
    {1037, Kind::Check, "Sync Error", 180, 209, 75, 15},
    {1038, Kind::Check, "General Headers", 185, 22, 70, 10},
    {1039, Kind::Check, "Channel Set Headers", 185, 32, 75, 10},
    {1040, Kind::Check, "Extended Header", 185, 42, 70, 10},
    {1041, Kind::Check, "External Header", 185, 52, 75, 10},
    {1042, Kind::Check, "Display Results in Notepad Automatically", 135, 272, 150, 10},
    {1004, Kind::Button, "Open", 10, 15, 40, 20},
    {1005, Kind::Button, "End", 10, 45, 40, 20},
    {1006, Kind::Group, "Select Fields to Output", 60, 5, 235, 251},
    {1052, Kind::Bar, "", 60, 296, 235, 15},
    {1053, Kind::Label, "Output File Name", 60, 284, 65, 10},
    {1054, Kind::Text, "", 135, 284, 160, 10},
    {1055, Kind::Label, nullptr, 70, 316, 220, 10},
    {1056, Kind::Button, "All", 140, 232, 35, 15},
    {1057, Kind::Button, "None", 185, 232, 35, 15},
    {1058, Kind::Group, "File Headers", 175, 12, 95, 56},
};

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

const char* ClassFor(Kind kind) {
  switch (kind) {
    case Kind::Bar: return "msctls_progress32";
    case Kind::Label: return "Static";
    case Kind::Text: return "Edit";
    default: return "Button";
  }
}

// As the dialog manager places a control: the position and the size are
// each turned into pixels, so the right edge is x' + w', not (x + w)'.
RECT DialogRect(HWND window, int x, int y, int w, int h) {
  RECT r{x, y, w, h};
  MapDialogRect(window, &r);
  return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

RECT ClientRectOf(HWND parent, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

class MainWindowLayout : public ::testing::Test {
 protected:
  TempFolder program_{"layout"};
  RecordingStarter starter_;
  RunningWindow window_{program_.Path(), starter_};
};

TEST_F(MainWindowLayout, IsAnOwnerlessPopUpCalledKelvaneWithCaptionModalFrameAndNoSystemMenu) {
  HWND w = window_.Window();
  ASSERT_NE(w, nullptr);
  char caption[32] = {};
  GetWindowTextA(w, caption, sizeof caption);
  EXPECT_STREQ(caption, "Kelvane");
  const LONG style = GetWindowLongA(w, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(style & WS_SYSMENU) << "no close, minimise or maximise box";
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
}

// Without an owner the dialog units count from the screen's corner; the
// frame and caption bar lie around the client area.
TEST_F(MainWindowLayout, ClientAreaStandsAt204By38AndMeasures306By334DialogUnits) {
  HWND w = window_.Window();
  const RECT expected = DialogRect(w, 204, 38, 306, 334);
  RECT client{};
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, expected.right - expected.left);
  EXPECT_EQ(client.bottom, expected.bottom - expected.top);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  EXPECT_EQ(origin.x, expected.left);
  EXPECT_EQ(origin.y, expected.top);
}

TEST_F(MainWindowLayout, UsesMsSansSerifOf8PointsForTheWindowAndEveryControl) {
  HWND w = window_.Window();
  const auto font = reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTA lf{};
  ASSERT_NE(GetObjectA(font, sizeof lf, &lf), 0);
  EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
  HDC screen = GetDC(nullptr);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(lf.lfHeight, -MulDiv(8, pixelsPerInch, 72));
  for (const Expected& c : kLayout) {
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(window_.Item(c.id), WM_GETFONT, 0, 0)), font) << c.id;
  }
}

TEST_F(MainWindowLayout, EveryControlHasItsClassTextAndRectangle) {
  HWND w = window_.Window();
  for (const Expected& c : kLayout) {
    SCOPED_TRACE("control " + std::to_string(c.id));
    HWND item = window_.Item(c.id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(ClassOf(item), ClassFor(c.kind));
    if (c.text) {
      EXPECT_EQ(window_.Text(c.id), c.text);
    }
    const RECT expected = DialogRect(w, c.x, c.y, c.w, c.h);
    const RECT actual = ClientRectOf(w, item);
    EXPECT_TRUE(EqualRect(&expected, &actual)) << Describe(actual) << " instead of " << Describe(expected);
    EXPECT_TRUE(IsWindowVisible(item));
  }
}

TEST_F(MainWindowLayout, ControlsAreCreatedInTableOrderWhichIsTheTabOrder) {
  std::vector<int> ids;
  for (HWND child = GetWindow(window_.Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    ids.push_back(GetDlgCtrlID(child));
  }
  std::vector<int> expected;
  for (const Expected& c : kLayout) expected.push_back(c.id);
  EXPECT_EQ(ids, expected);
}

TEST_F(MainWindowLayout, ControlStylesFollowTheirKind) {
  for (const Expected& c : kLayout) {
    SCOPED_TRACE("control " + std::to_string(c.id));
    const LONG style = GetWindowLongA(window_.Item(c.id), GWL_STYLE);
    const LONG exStyle = GetWindowLongA(window_.Item(c.id), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_CHILD);
    const bool tabStop = (style & WS_TABSTOP) != 0;
    switch (c.kind) {
      case Kind::FirstCheck:
        EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
        EXPECT_TRUE(style & WS_GROUP);
        EXPECT_EQ(style & BS_CENTER, BS_LEFT);
        EXPECT_EQ(style & BS_VCENTER, BS_VCENTER);
        EXPECT_TRUE(tabStop);
        break;
      case Kind::Check:
        EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
        EXPECT_FALSE(style & WS_GROUP);
        EXPECT_TRUE(tabStop);
        break;
      case Kind::Button:
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
        EXPECT_TRUE(tabStop);
        break;
      case Kind::Group:
        EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
        EXPECT_FALSE(tabStop);
        break;
      case Kind::Bar:
        EXPECT_TRUE(style & PBS_SMOOTH);
        {
          // Bordered: the dialog manager and the progress control turn the
          // template's WS_BORDER into an edge of their own choice, so look
          // at the result, a client area inside the window.
          RECT outer{}, inner{};
          GetWindowRect(window_.Item(c.id), &outer);
          GetClientRect(window_.Item(c.id), &inner);
          EXPECT_LT(inner.right, outer.right - outer.left) << std::hex << style << " " << exStyle;
          EXPECT_LT(inner.bottom, outer.bottom - outer.top);
        }
        break;
      case Kind::Label:
        EXPECT_EQ(style & SS_TYPEMASK, SS_LEFT);
        break;
      case Kind::Text:
        EXPECT_FALSE(style & ES_MULTILINE);
        EXPECT_TRUE(style & ES_AUTOHSCROLL);
        EXPECT_TRUE(tabStop);
        EXPECT_TRUE(exStyle & WS_EX_CLIENTEDGE);
        break;
    }
  }
}

TEST_F(MainWindowLayout, ProgressBarIsDrawnRed) {
  HWND bar = window_.Item(1052);
  EXPECT_EQ(SendMessageA(bar, PBM_GETBARCOLOR, 0, 0), RGB(255, 0, 0));
  SendMessageA(bar, PBM_SETPOS, 100, 0);
  RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  RECT client{};
  GetClientRect(bar, &client);
  HDC dc = GetDC(bar);
  const COLORREF middle = GetPixel(dc, client.right / 2, client.bottom / 2);
  ReleaseDC(bar, dc);
  EXPECT_EQ(middle, RGB(255, 0, 0)) << std::hex << middle;
}

TEST_F(MainWindowLayout, CreditLineIsRedOnTheUsualBackgroundAndFitsItsLabel) {
  HWND w = window_.Window();
  HWND credit = window_.Item(1055);
  ASSERT_FALSE(window_.Text(1055).empty());
  HDC screen = GetDC(nullptr);
  const UniqueMemoryDc memory(CreateCompatibleDC(screen));
  ReleaseDC(nullptr, screen);
  HDC dc = memory.Get();
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(w, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                            reinterpret_cast<LPARAM>(credit)));
  EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
  EXPECT_EQ(brush, GetSysColorBrush(COLOR_BTNFACE));

  // The other label keeps the usual colours.
  SetTextColor(dc, RGB(1, 2, 3));
  SendMessageA(w, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window_.Item(1053)));
  EXPECT_NE(GetTextColor(dc), RGB(255, 0, 0));

  const auto font = reinterpret_cast<HFONT>(SendMessageA(credit, WM_GETFONT, 0, 0));
  SelectObject(dc, font);
  const std::string text = window_.Text(1055);
  SIZE extent{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  RECT label{};
  GetClientRect(credit, &label);
  EXPECT_LE(extent.cx, label.right) << "the credit line is one line of the label's width";
}

}  // namespace
}  // namespace segd::test

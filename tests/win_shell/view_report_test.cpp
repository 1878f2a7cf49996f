// ViewReport's command line, and one real start of Wine's Notepad on a
// report: maximised, not waited for, ended here by the test.
#include "window_harness.h"

#include <gtest/gtest.h>

#include "shell/view_report_win.h"
#include "shell/win_handles.h"

namespace segd::test {
namespace {

TEST(NotepadCommandLine, IsTheWindowsFolderNotepadAndTheUnquotedPath) {
  struct Case {
    const char* folder;
    const char* path;
    const char* line;
  };
  const Case cases[] = {
      {"C:\\windows", "C:\\Results.Txt", "C:\\windows\\notepad.exe C:\\Results.Txt"},
      {"C:\\windows", "Z:\\rec folder\\Field Run.Txt", "C:\\windows\\notepad.exe Z:\\rec folder\\Field Run.Txt"},
      {"D:\\WINNT", "", "D:\\WINNT\\notepad.exe "},
  };
  for (const Case& c : cases) EXPECT_EQ(NotepadCommandLine(c.folder, c.path), c.line);
}

TEST(NotepadCommandLine, UsesTheFolderThePlatformReports) {
  char windows[MAX_PATH] = {};
  const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(WindowsFolder(), std::string(windows, n));
}

struct NotepadSearch {
  std::string title;
  HWND found = nullptr;
};

BOOL CALLBACK FindNotepad(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<NotepadSearch*>(param);
  char cls[32] = {}, title[MAX_PATH] = {};
  GetClassNameA(window, cls, sizeof cls);
  GetWindowTextA(window, title, sizeof title);
  if (std::string(cls) == "Notepad" && std::string(title).find(search.title) != std::string::npos) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

TEST(NotepadViewer, StartsTheRealNotepadMaximisedOnTheReportWithoutWaiting) {
  TempFolder folder{"notepad"};
  const std::string report = folder.File("Notepad Check.Txt");
  WriteBytes(report, {'o', 'k', '\r', '\n'});

  CreateProcessStarter starter;
  const DWORD before = GetTickCount();
  ASSERT_TRUE(starter.Start(NotepadCommandLine(WindowsFolder(), report)));
  EXPECT_LT(GetTickCount() - before, 5000u) << "the start does not wait for Notepad";

  NotepadSearch search{"Notepad Check"};
  ASSERT_TRUE(WaitUntil([&] {
    EnumWindows(FindNotepad, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  }, 60s)) << "no Notepad window showing the report";
  EXPECT_TRUE(WaitUntil([&] { return IsZoomed(search.found) != FALSE; }, 10s)) << "Notepad is not maximised";

  DWORD processId = 0;
  GetWindowThreadProcessId(search.found, &processId);
  ASSERT_NE(processId, 0u);
  const UniqueKernelHandle notepad(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
  ASSERT_TRUE(notepad);
  EXPECT_TRUE(TerminateProcess(notepad.Get(), 0));
  EXPECT_EQ(WaitForSingleObject(notepad.Get(), 10000), WAIT_OBJECT_0);
}

}  // namespace
}  // namespace segd::test

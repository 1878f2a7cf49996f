// segdreport.exe: the field crews' window for scanning one SN388 SEG-D
// record. The command line is not used.
#include <windows.h>

#include "output/files/atomic_file.h"
#include "shell/startup_win.h"
#include "shell/view_report_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // With a console (started from one), its close or Ctrl-C removes the
  // report's temporary file; a killed process cannot be caught.
  segd::RemoveTemporaryFilesOnTermination();
  segd::CreateProcessStarter notepadStarter;
  return segd::ProgramMain(instance, notepadStarter);
}

#pragma once
// What the command line needs from the system it runs on. console_posix.cpp
// and console_win.cpp are the two halves; the rest of cli/ is portable.
#include <cstddef>
#include <string>

namespace segd::cli {

// Once at start-up: a write past a file-size limit or into a closed pipe
// fails as a write instead of ending the program, and on Windows standard
// output takes bytes as they are (no LF to CR LF), so that --csv - and
// --output - give the bytes a file would hold.
void PrepareConsole();

// Standard error is a terminal (a console on Windows), where progress bars
// are drawn.
bool StderrIsTerminal();

// The current folder, where a report without a --folder goes.
std::string CurrentFolder();

// Every byte to standard output, unbuffered; false when a write failed. A
// reader that closed the pipe ends the program quietly with status 0.
bool WriteStdout(const char* data, std::size_t size);

// The separator of report paths; with '\\' a report name also follows
// Windows' naming rules, as in the Windows program.
#ifdef _WIN32
inline constexpr char kReportSeparator = '\\';
#else
inline constexpr char kReportSeparator = '/';
#endif

}  // namespace segd::cli

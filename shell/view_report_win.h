#pragma once
// ViewReport: opens a finished report in Notepad and returns at once. The
// start of the process is a seam, so tests can see the command line without
// starting anything.
#include <string>
#include <string_view>

#include "output/report/decode_file.h"

namespace segd {

class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // Starts `commandLine` as a new process, its window maximised, and lets go
  // of it; false when it could not be started.
  virtual bool Start(const std::string& commandLine) = 0;
};

// CreateProcessA: no handles inherited, normal priority, shown maximised,
// not waited for; both handles closed at once.
class CreateProcessStarter final : public ProcessStarter {
 public:
  bool Start(const std::string& commandLine) override;
};

// The Windows folder as the platform reports it into a 250-character buffer.
std::string WindowsFolder();

// The Windows folder, "\notepad.exe ", then the report path unquoted.
std::string NotepadCommandLine(std::string_view windowsFolder, std::string_view reportPath);

inline constexpr std::string_view kNotepadFailedText = "Cannot Start Notepad";
inline constexpr std::string_view kNotepadFailedCaption = "Notepad not found";

class NotepadViewer final : public ReportViewer {
 public:
  NotepadViewer(ProcessStarter& starter, NoticeSink& notices) : starter_(starter), notices_(notices) {}
  void ViewReport(const std::string& path) override;

 private:
  ProcessStarter& starter_;
  NoticeSink& notices_;
};

}  // namespace segd

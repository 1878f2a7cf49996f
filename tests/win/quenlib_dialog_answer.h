#pragma once
// Answers a common file dialog from another thread, as a user would: finds
// it by its caption, notes what it offers, then types a name and presses OK,
// or presses Cancel.
#include <windows.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace segd::test {

// Control ids of the Explorer-style file dialog.
inline constexpr int kFileTypeBoxId = 0x470;  // cmb1
inline constexpr int kFileNameBoxId = 0x47C;  // cmb13

struct DialogSeen {
  bool found = false;     // the dialog showed within the time allowed
  bool closed = false;    // it closed after the answer
  std::string nameField;  // the file name field as the dialog opened
  std::vector<std::string> fileTypes;  // descriptions in the file type box
  int selectedFileType = -1;
  std::string stray;      // caption of a window that had to be closed
};

class DialogAnswerer {
 public:
  // `typedName`: typed into the file name field before OK; none: Cancel.
  DialogAnswerer(std::string caption, std::optional<std::string> typedName);
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  // Waits for the answering thread and gives what it saw.
  const DialogSeen& Wait();

 private:
  void Run();

  std::string caption_;
  std::optional<std::string> typedName_;
  DialogSeen seen_;
  std::thread thread_;
};

}  // namespace segd::test

#pragma once
// Common file dialogs of the Quenlib library (Win32, ANSI). The procedures
// PromptOpenFile, PromptSaveFile and PromptOpenFiles fill the dialog
// description and run one modal dialog; ShowOpen, ShowSave and
// GetMultipleFiles are SHOWOPEN, SHOWSAVE and GETMULTIPLEFILES with
// std::string (8-bit text in the system code page) in place of BSTRs.
// The Windows program links these (target segd_dialogs) and calls ShowOpen
// directly; Quenlib.dll wraps them in its exports.
#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <functional>
#include <string>

namespace segd {

// Flags of SHOWOPEN and SHOWSAVE: 0x881006.
inline constexpr DWORD kShowFileFlags = OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY |
                                        OFN_OVERWRITEPROMPT | OFN_ENABLESIZING;
// Flags of GETMULTIPLEFILES: 0x981204.
inline constexpr DWORD kMultipleFilesFlags = OFN_EXPLORER | OFN_ALLOWMULTISELECT |
                                             OFN_ENABLESIZING | OFN_FILEMUSTEXIST |
                                             OFN_NODEREFERENCELINKS | OFN_HIDEREADONLY;
static_assert(kShowFileFlags == 0x881006 && kMultipleFilesFlags == 0x981204);

// Control id of the list box in the owner window that GETMULTIPLEFILES
// empties after a confirmed choice.
inline constexpr int kFileListBoxId = 20;

// The process's current folder, without a trailing "\" (but "C:\"); empty
// when it cannot be had.
std::string CurrentFolder();

// Runs the dialog on a filled description and returns its result (non-zero
// when the user confirmed). An empty runner means the real dialog
// (GetOpenFileNameA or GetSaveFileNameA); tests pass their own to look at the
// description and to answer it by writing into its buffers.
using RunFileDialog = std::function<BOOL(OPENFILENAMEA&)>;

// Open dialog with an 8192-character name buffer. On return `name` holds the
// buffer up to its last NUL and `flags` the Flags member as the dialog left it.
// An empty initial folder means the current folder of the process.
int32_t PromptOpenFile(HWND owner, const std::string& caption, std::string& name,
                       const std::string& initialFolder, const std::string& filter,
                       const std::string& defaultExtension, DWORD& flags,
                       const RunFileDialog& run = {});

// Save dialog with a 260-character name buffer; the name comes back up to the
// first NUL of the buffer.
int32_t PromptSaveFile(HWND owner, const std::string& caption, std::string& name,
                       const std::string& initialFolder, const std::string& filter,
                       const std::string& defaultExtension, DWORD& flags,
                       const RunFileDialog& run = {});

// Open dialog for several files: a 16383-character name buffer, and the
// filter, folder, caption and default extension copied (cut when too long)
// into fixed buffers of 256, 256, 256 and 10 bytes. The name comes back as the
// whole buffer without its trailing NULs: folder NUL file NUL file ..., or the
// full path of a single file.
int32_t PromptOpenFiles(HWND owner, const std::string& caption, std::string& name,
                        const std::string& initialFolder, const std::string& filter,
                        const std::string& defaultExtension, DWORD& flags,
                        const RunFileDialog& run = {});

// SHOWOPEN: the full path of the chosen file, or empty on cancel. A filter
// that is blank gets "All Files (*.*)|*.*" appended; an initial folder that is
// blank is replaced by the current folder; both variables keep the change.
std::string ShowOpen(HWND owner, std::string& filter, const std::string& caption,
                     std::string& initialFolder);
std::string ShowOpen(HWND owner, std::string& filter, const std::string& caption,
                     std::string& initialFolder, const RunFileDialog& run);

// SHOWSAVE: as ShowOpen, with the save dialog and no default extension.
std::string ShowSave(HWND owner, std::string& filter, const std::string& caption,
                     std::string& initialFolder);
std::string ShowSave(HWND owner, std::string& filter, const std::string& caption,
                     std::string& initialFolder, const RunFileDialog& run);

// GETMULTIPLEFILES: the number of files chosen, 0 on cancel (then nothing
// changes). One file replaces `paths` with its full path; several are appended
// to `paths` as full paths joined by "?". A confirmed choice empties list box
// 20 of the owner window when it has one.
int32_t GetMultipleFiles(HWND owner, const std::string& initialFolder, std::string& paths);
int32_t GetMultipleFiles(HWND owner, const std::string& initialFolder, std::string& paths,
                         const RunFileDialog& run);

}  // namespace segd

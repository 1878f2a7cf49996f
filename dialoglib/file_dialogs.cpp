#include "dialoglib/file_dialogs.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace segd {

namespace {

// The description is passed in its Windows 95/NT 4 size, without the members
// added in Windows 2000 (OPENFILENAME_SIZE_VERSION_400A).
constexpr DWORD kDescriptionSize = 76;
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == kDescriptionSize);

// Name buffers, in characters.
constexpr std::size_t kOpenNameSize = 8192;
constexpr std::size_t kSaveNameSize = 260;
constexpr std::size_t kFilesNameSize = 16383;
// File title buffers: the dialog writes the bare file name there; not used.
constexpr std::size_t kTitleSize = 260;
constexpr std::size_t kFilesTitleSize = 256;
// The fixed text buffers of PromptOpenFiles.
constexpr std::size_t kFilesFilterSize = 256;
constexpr std::size_t kFilesFolderSize = 256;
constexpr std::size_t kFilesCaptionSize = 256;
constexpr std::size_t kFilesExtensionSize = 10;

constexpr std::string_view kAllFilesFilter = "All Files (*.*)|*.*";
constexpr std::string_view kOpenExtension = "TXT";
constexpr std::string_view kMultipleFilesCaption = "Add file(s)";
constexpr std::string_view kMultipleFilesName = "*.*";
constexpr std::string_view kMultipleFilesFilter =
    "All Files  (*.*)|*.*|Data files  (*.DAT, *.INI)|*.DAT;*.INI|"
    "System files  (*.EXE, *.DLL)|*.EXE;*.DLL|Text files  (*.DIZ, *.TXT)|*.DIZ;*.TXT|";

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// "a|b|" becomes "a\0b\0\0"; the std::string's own terminator adds the NUL
// that ends the list for the dialog.
std::string PrepareFilter(std::string_view filter) {
  std::string prepared(filter);
  std::replace(prepared.begin(), prepared.end(), '|', '\0');
  prepared.push_back('\0');
  return prepared;
}

// Name buffer of the single-file dialogs: the initial name up to its first
// NUL, then a NUL, then blanks up to `size`. A name that would leave no room
// for its NUL inside the buffer is cut to size - 1 characters, so the dialog
// never reads past nMaxFile.
std::string SingleNameBuffer(std::string_view name, std::size_t size) {
  name = name.substr(0, name.find('\0'));
  std::string buffer(name.substr(0, size - 1));
  buffer.push_back('\0');
  buffer.resize(size, ' ');
  return buffer;
}

// Copies `text` into a zero-filled fixed buffer, at most N - 1 bytes.
template <std::size_t N>
void CopyCut(std::array<char, N>& buffer, std::string_view text, std::size_t capacity = N) {
  buffer.fill('\0');
  const std::size_t count = std::min(text.size(), capacity - 1);
  std::copy_n(text.data(), count, buffer.data());
}

OPENFILENAMEA Describe(HWND owner, const char* filter, char* name, std::size_t nameSize,
                       char* title, std::size_t titleSize, const char* folder,
                       const char* caption, const char* defaultExtension, DWORD flags) {
  OPENFILENAMEA description{};
  description.lStructSize = kDescriptionSize;
  description.hwndOwner = owner;
  description.hInstance = nullptr;
  description.lpstrFilter = filter;
  description.lpstrCustomFilter = nullptr;
  description.nMaxCustFilter = 0;
  description.nFilterIndex = 1;
  description.lpstrFile = name;
  description.nMaxFile = static_cast<DWORD>(nameSize);
  description.lpstrFileTitle = title;
  description.nMaxFileTitle = static_cast<DWORD>(titleSize);
  description.lpstrInitialDir = folder;
  description.lpstrTitle = caption;
  description.Flags = flags;
  description.lpstrDefExt = defaultExtension;
  return description;
}

BOOL RunDialog(const RunFileDialog& run, OPENFILENAMEA& description,
               BOOL(WINAPI* real)(LPOPENFILENAMEA)) {
  return run ? run(description) : real(&description);
}

// Shared steps of PromptOpenFile and PromptSaveFile; they differ in the
// buffer size, the dialog and how the name is taken back.
int32_t PromptSingleFile(HWND owner, const std::string& caption, std::string& name,
                         const std::string& initialFolder, const std::string& filter,
                         const std::string& defaultExtension, DWORD& flags,
                         const RunFileDialog& run, std::size_t nameSize, bool saving) {
  const std::string prepared = PrepareFilter(filter);
  const std::string folder = initialFolder.empty() ? CurrentFolder() : initialFolder;
  std::string buffer = SingleNameBuffer(name, nameSize);
  std::array<char, kTitleSize> title{};

  OPENFILENAMEA description =
      Describe(owner, prepared.c_str(), buffer.data(), buffer.size(), title.data(), title.size(),
               folder.c_str(), caption.empty() ? nullptr : caption.c_str(),
               defaultExtension.empty() ? nullptr : defaultExtension.c_str(), flags);
  const BOOL result =
      RunDialog(run, description, saving ? GetSaveFileNameA : GetOpenFileNameA);

  // The open dialog's name ends at the last NUL of the buffer, the save
  // dialog's at the first; with no NUL at all the name is empty.
  const std::size_t end = saving ? buffer.find('\0') : buffer.rfind('\0');
  name = end == std::string::npos ? std::string() : buffer.substr(0, end);
  flags = description.Flags;
  return result;
}

std::vector<std::string_view> SplitAtNul(std::string_view text) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t nul = text.find('\0');
    parts.push_back(text.substr(0, nul));
    if (nul == std::string_view::npos) return parts;
    text.remove_prefix(nul + 1);
  }
}

template <typename Prompt>
std::string ShowFile(HWND owner, std::string& filter, const std::string& caption,
                     std::string& initialFolder, const std::string& defaultExtension,
                     const RunFileDialog& run, Prompt prompt) {
  if (TrimBlanks(initialFolder).empty()) initialFolder = CurrentFolder();
  if (TrimBlanks(filter).empty()) filter.append(kAllFilesFilter);
  std::string name;
  DWORD flags = kShowFileFlags;
  if (prompt(owner, caption, name, initialFolder, filter, defaultExtension, flags, run) == 0) {
    return {};
  }
  return name;
}

}  // namespace

std::string CurrentFolder() {
  // The folder may change length between the two calls; try again then.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return {};
    std::string folder(needed, '\0');
    const DWORD written = GetCurrentDirectoryA(needed, folder.data());
    if (written < needed) {
      folder.resize(written);
      return folder;
    }
  }
  return {};
}

int32_t PromptOpenFile(HWND owner, const std::string& caption, std::string& name,
                       const std::string& initialFolder, const std::string& filter,
                       const std::string& defaultExtension, DWORD& flags,
                       const RunFileDialog& run) {
  return PromptSingleFile(owner, caption, name, initialFolder, filter, defaultExtension, flags,
                          run, kOpenNameSize, false);
}

int32_t PromptSaveFile(HWND owner, const std::string& caption, std::string& name,
                       const std::string& initialFolder, const std::string& filter,
                       const std::string& defaultExtension, DWORD& flags,
                       const RunFileDialog& run) {
  return PromptSingleFile(owner, caption, name, initialFolder, filter, defaultExtension, flags,
                          run, kSaveNameSize, true);
}

int32_t PromptOpenFiles(HWND owner, const std::string& caption, std::string& name,
                        const std::string& initialFolder, const std::string& filter,
                        const std::string& defaultExtension, DWORD& flags,
                        const RunFileDialog& run) {
  // The filter buffer has one spare NUL past its 256 bytes: a list cut at 255
  // bytes still ends in the two NULs the dialog looks for.
  std::array<char, kFilesFilterSize + 1> filterBuffer{};
  CopyCut(filterBuffer, PrepareFilter(filter), kFilesFilterSize);
  std::array<char, kFilesFolderSize> folderBuffer{};
  CopyCut(folderBuffer, initialFolder.empty() ? CurrentFolder() : initialFolder);
  std::array<char, kFilesCaptionSize> captionBuffer{};
  CopyCut(captionBuffer, caption);
  std::array<char, kFilesExtensionSize> extensionBuffer{};
  CopyCut(extensionBuffer, defaultExtension);
  std::array<char, kFilesTitleSize> title{};

  // The initial name over the start of a NUL-filled buffer, cut so that at
  // least one NUL ends it.
  std::string buffer(kFilesNameSize, '\0');
  std::copy_n(name.data(), std::min(name.size(), kFilesNameSize - 1), buffer.begin());

  OPENFILENAMEA description = Describe(
      owner, filterBuffer.data(), buffer.data(), buffer.size(), title.data(), title.size(),
      folderBuffer.data(), caption.empty() ? nullptr : captionBuffer.data(),
      extensionBuffer.data(), flags);
  const BOOL result = RunDialog(run, description, GetOpenFileNameA);

  const std::size_t end = buffer.find_last_not_of('\0');
  buffer.resize(end == std::string::npos ? 0 : end + 1);
  name = std::move(buffer);
  flags = description.Flags;
  return result;
}

std::string ShowOpen(HWND owner, std::string& filter, const std::string& caption,
                     std::string& initialFolder, const RunFileDialog& run) {
  return ShowFile(owner, filter, caption, initialFolder, std::string(kOpenExtension), run,
                  PromptOpenFile);
}

std::string ShowOpen(HWND owner, std::string& filter, const std::string& caption,
                     std::string& initialFolder) {
  return ShowOpen(owner, filter, caption, initialFolder, RunFileDialog{});
}

std::string ShowSave(HWND owner, std::string& filter, const std::string& caption,
                     std::string& initialFolder, const RunFileDialog& run) {
  return ShowFile(owner, filter, caption, initialFolder, std::string(), run, PromptSaveFile);
}

std::string ShowSave(HWND owner, std::string& filter, const std::string& caption,
                     std::string& initialFolder) {
  return ShowSave(owner, filter, caption, initialFolder, RunFileDialog{});
}

int32_t GetMultipleFiles(HWND owner, const std::string& initialFolder, std::string& paths,
                         const RunFileDialog& run) {
  std::string name(kMultipleFilesName);
  DWORD flags = kMultipleFilesFlags;
  if (PromptOpenFiles(owner, std::string(kMultipleFilesCaption), name, initialFolder,
                      std::string(kMultipleFilesFilter), std::string(), flags, run) == 0) {
    return 0;
  }
  const std::vector<std::string_view> parts = SplitAtNul(name);

  if (HWND list = GetDlgItem(owner, kFileListBoxId)) SendMessageA(list, LB_RESETCONTENT, 0, 0);

  if (parts.size() == 1) {
    paths.assign(parts.front());
    return 1;
  }
  // Several files: the folder first (a drive root already ends in "\"),
  // then the bare file names.
  std::string folder(parts.front());
  if (folder.empty() || folder.back() != '\\') folder.push_back('\\');
  for (std::size_t i = 1; i < parts.size(); ++i) {
    if (!paths.empty()) paths.push_back('?');
    paths.append(folder).append(parts[i]);
  }
  return static_cast<int32_t>(parts.size() - 1);
}

int32_t GetMultipleFiles(HWND owner, const std::string& initialFolder, std::string& paths) {
  return GetMultipleFiles(owner, initialFolder, paths, RunFileDialog{});
}

}  // namespace segd

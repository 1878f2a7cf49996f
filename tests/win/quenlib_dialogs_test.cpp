// The file dialog procedures of Quenlib through their test seam: a stand-in
// dialog records the description it is given and answers by writing into the
// name buffer, as the real dialog does.
#include "dialoglib/file_dialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace segd {
namespace {

using namespace std::string_literals;

constexpr DWORD kReadOnlyTicked = OFN_READONLY;

std::string CurrentFolderForTest() {
  char folder[MAX_PATH * 4] = {};
  const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
  return std::string(folder, length);
}

// The filter list up to its double NUL (the closing pair left out).
std::string FilterList(const char* list) {
  std::string bytes;
  if (list == nullptr) return bytes;
  for (std::size_t i = 0; list[i] != '\0' || list[i + 1] != '\0'; ++i) bytes.push_back(list[i]);
  return bytes;
}

std::optional<std::string> OptionalText(const char* text) {
  if (text == nullptr) return std::nullopt;
  return std::string(text);
}

// What the dialog was given, copied while the buffers were alive.
struct Seen {
  OPENFILENAMEA description{};
  std::string filterList;
  std::string nameBuffer;  // nMaxFile characters
  std::optional<std::string> folder, caption, defaultExtension;
  int calls = 0;
};

// A stand-in dialog: records, then when confirming writes `written` (NULs
// included) over the start of the name buffer; may also change the flags.
RunFileDialog StandIn(Seen& seen, std::optional<std::string> written, DWORD addFlags = 0) {
  return [&seen, written, addFlags](OPENFILENAMEA& d) -> BOOL {
    ++seen.calls;
    seen.description = d;
    seen.filterList = FilterList(d.lpstrFilter);
    seen.nameBuffer.assign(d.lpstrFile, d.nMaxFile);
    seen.folder = OptionalText(d.lpstrInitialDir);
    seen.caption = OptionalText(d.lpstrTitle);
    seen.defaultExtension = OptionalText(d.lpstrDefExt);
    d.Flags |= addFlags;
    if (!written) return FALSE;
    std::memcpy(d.lpstrFile, written->data(), std::min<std::size_t>(written->size(), d.nMaxFile));
    return TRUE;
  };
}

std::optional<std::string> Cancel() { return std::nullopt; }

using Prompt = int32_t (*)(HWND, const std::string&, std::string&, const std::string&,
                           const std::string&, const std::string&, DWORD&,
                           const RunFileDialog&);

struct SingleProcedure {
  const char* name;
  Prompt prompt;
  DWORD nameSize;
};

const SingleProcedure kSingleProcedures[] = {
    {"PromptOpenFile", PromptOpenFile, 8192},
    {"PromptSaveFile", PromptSaveFile, 260},
};

// --- PromptOpenFile and PromptSaveFile ---------------------------------

TEST(PromptSingleFile, FillsTheDialogDescriptionMemberByMember) {
  const HWND owner = reinterpret_cast<HWND>(0x1234);
  for (const auto& p : kSingleProcedures) {
    Seen seen;
    std::string name;
    DWORD flags = kShowFileFlags;
    p.prompt(owner, "Pick one", name, "C:\\Data", "All Files (*.*)|*.*", "TXT", flags,
             StandIn(seen, Cancel()));
    const OPENFILENAMEA& d = seen.description;
    ASSERT_EQ(seen.calls, 1) << p.name;
    EXPECT_EQ(d.lStructSize, 76u) << p.name;
    EXPECT_EQ(d.hwndOwner, owner) << p.name;
    EXPECT_EQ(d.hInstance, nullptr) << p.name;
    EXPECT_EQ(seen.filterList, "All Files (*.*)\0*.*"s) << p.name;
    EXPECT_EQ(d.lpstrCustomFilter, nullptr) << p.name;
    EXPECT_EQ(d.nMaxCustFilter, 0u) << p.name;
    EXPECT_EQ(d.nFilterIndex, 1u) << p.name;
    EXPECT_EQ(d.nMaxFile, p.nameSize) << p.name;
    EXPECT_EQ(seen.nameBuffer, "\0"s + std::string(p.nameSize - 1, ' ')) << p.name;
    EXPECT_NE(d.lpstrFileTitle, nullptr) << p.name;
    EXPECT_EQ(d.nMaxFileTitle, 260u) << p.name;
    EXPECT_EQ(seen.folder, "C:\\Data") << p.name;
    EXPECT_EQ(seen.caption, "Pick one") << p.name;
    EXPECT_EQ(d.Flags, 0x881006u) << p.name;
    EXPECT_EQ(d.nFileOffset, 0) << p.name;
    EXPECT_EQ(d.nFileExtension, 0) << p.name;
    EXPECT_EQ(seen.defaultExtension, "TXT") << p.name;
    EXPECT_EQ(d.lCustData, 0) << p.name;
    EXPECT_EQ(d.lpfnHook, nullptr) << p.name;
    EXPECT_EQ(d.lpTemplateName, nullptr) << p.name;
  }
}

TEST(PromptSingleFile, LeavesOutAnEmptyCaptionAndAnEmptyDefaultExtension) {
  for (const auto& p : kSingleProcedures) {
    Seen seen;
    std::string name;
    DWORD flags = 0;
    p.prompt(nullptr, "", name, "C:\\", "a|b", "", flags, StandIn(seen, Cancel()));
    EXPECT_EQ(seen.caption, std::nullopt) << p.name;
    EXPECT_EQ(seen.defaultExtension, std::nullopt) << p.name;
  }
}

TEST(PromptSingleFile, TurnsFilterBarsIntoNulsEndedByTwoNuls) {
  const struct {
    std::string filter, list;
  } cases[] = {
      {"All Files (*.*)|*.*", "All Files (*.*)\0*.*"s},
      {"A|*.a|B|*.b;*.c|", "A\0*.a\0B\0*.b;*.c"s},
      {"A|*.a||", "A\0*.a"s},
      {"", ""},
  };
  for (const auto& c : cases) {
    Seen seen;
    std::string name;
    DWORD flags = 0;
    PromptOpenFile(nullptr, "", name, "C:\\", c.filter, "", flags, StandIn(seen, Cancel()));
    EXPECT_EQ(seen.filterList, c.list) << c.filter;
  }
}

TEST(PromptSingleFile, EmptyInitialFolderMeansTheCurrentFolderButBlanksAreKept) {
  for (const auto& p : kSingleProcedures) {
    Seen seen;
    std::string name;
    DWORD flags = 0;
    p.prompt(nullptr, "", name, "", "a|b", "", flags, StandIn(seen, Cancel()));
    EXPECT_EQ(seen.folder, CurrentFolderForTest()) << p.name;
    p.prompt(nullptr, "", name, "  ", "a|b", "", flags, StandIn(seen, Cancel()));
    EXPECT_EQ(seen.folder, "  ") << p.name;
  }
}

TEST(PromptSingleFile, NameBufferHoldsTheInitialNameUpToItsFirstNulThenBlanks) {
  for (const auto& p : kSingleProcedures) {
    Seen seen;
    std::string name = "ab\0cd"s;
    DWORD flags = 0;
    p.prompt(nullptr, "", name, "C:\\", "a|b", "", flags, StandIn(seen, Cancel()));
    EXPECT_EQ(seen.nameBuffer, "ab\0"s + std::string(p.nameSize - 3, ' ')) << p.name;
  }
}

TEST(PromptSingleFile, InitialNameTooLongIsCutSoTheBufferStillHoldsItsNul) {
  for (const auto& p : kSingleProcedures) {
    Seen seen;
    std::string name(p.nameSize + 40, 'n');
    DWORD flags = 0;
    p.prompt(nullptr, "", name, "C:\\", "a|b", "", flags, StandIn(seen, Cancel()));
    EXPECT_EQ(seen.nameBuffer, std::string(p.nameSize - 1, 'n') + '\0') << p.name;
    EXPECT_EQ(seen.description.nMaxFile, p.nameSize) << p.name;
  }
}

TEST(PromptSingleFile, OpenTakesTheNameToTheLastNulAndSaveToTheFirst) {
  const struct {
    const char* what;
    std::string initial;
    std::optional<std::string> written;
    std::string open, save;
    int32_t result;
  } cases[] = {
      {"confirmed with the empty initial name", "", "C:\\Data\\a.txt\0"s, "C:\\Data\\a.txt",
       "C:\\Data\\a.txt", 1},
      {"cancelled: the initial name comes back", "keep.txt", Cancel(), "keep.txt", "keep.txt", 0},
      {"confirmed path shorter than the initial name", "C:\\longer-name.txt", "C:\\a\0"s,
       "C:\\a\0nger-name.txt"s, "C:\\a", 1},
  };
  for (const auto& c : cases) {
    for (const auto& p : kSingleProcedures) {
      Seen seen;
      std::string name = c.initial;
      DWORD flags = 0;
      EXPECT_EQ(p.prompt(nullptr, "", name, "C:\\", "a|b", "", flags, StandIn(seen, c.written)),
                c.result)
          << c.what << ", " << p.name;
      EXPECT_EQ(name, p.prompt == PromptOpenFile ? c.open : c.save) << c.what << ", " << p.name;
    }
  }
}

TEST(PromptSingleFile, NameIsEmptyWhenTheBufferHoldsNoNul) {
  for (const auto& p : kSingleProcedures) {
    Seen seen;
    std::string name = "start";
    DWORD flags = 0;
    p.prompt(nullptr, "", name, "C:\\", "a|b", "", flags,
             StandIn(seen, std::string(p.nameSize, 'x')));
    EXPECT_EQ(name, "") << p.name;
  }
}

TEST(PromptSingleFile, FlagsComeBackAsTheDialogLeftThemAlsoOnCancel) {
  for (const auto& p : kSingleProcedures) {
    for (bool confirm : {true, false}) {
      Seen seen;
      std::string name;
      DWORD flags = kShowFileFlags;
      const auto written = confirm ? std::optional<std::string>("C:\\a\0"s) : Cancel();
      p.prompt(nullptr, "", name, "C:\\", "a|b", "", flags,
               StandIn(seen, written, kReadOnlyTicked));
      EXPECT_EQ(flags, kShowFileFlags | kReadOnlyTicked) << p.name;
    }
  }
}

// --- PromptOpenFiles -------------------------------------------------------

TEST(PromptOpenFiles, FillsTheDescriptionWithItsOwnFixedBuffers) {
  Seen seen;
  std::string name = "*.*";
  DWORD flags = kMultipleFilesFlags;
  PromptOpenFiles(nullptr, "", name, "C:\\Data", "X|*.x|", "", flags, StandIn(seen, Cancel()));
  const OPENFILENAMEA& d = seen.description;
  EXPECT_EQ(d.lStructSize, 76u);
  EXPECT_EQ(d.nFilterIndex, 1u);
  EXPECT_EQ(seen.filterList, "X\0*.x"s);
  EXPECT_EQ(d.nMaxFile, 16383u);
  EXPECT_EQ(seen.nameBuffer, "*.*" + std::string(16380, '\0'));
  EXPECT_EQ(d.nMaxFileTitle, 256u);
  EXPECT_EQ(seen.folder, "C:\\Data");
  EXPECT_EQ(seen.caption, std::nullopt) << "empty caption is left out";
  EXPECT_EQ(seen.defaultExtension, "") << "always points at its buffer";
  EXPECT_EQ(d.Flags, 0x981204u);
}

TEST(PromptOpenFiles, CutsTextsTooLongForTheFixedBuffers) {
  Seen seen;
  std::string name(20000, 'n');
  const std::string filter = std::string(200, 'd') + "|" + std::string(200, 'p');
  DWORD flags = 0;
  PromptOpenFiles(nullptr, std::string(300, 'c'), name, std::string(300, 'f'), filter,
                  "ABCDEFGHIJKL", flags, StandIn(seen, Cancel()));
  EXPECT_EQ(seen.caption, std::string(255, 'c'));
  EXPECT_EQ(seen.folder, std::string(255, 'f'));
  EXPECT_EQ(seen.defaultExtension, "ABCDEFGHI");
  // The prepared list cut to 255 bytes, still ended by two NULs.
  EXPECT_EQ(seen.filterList, std::string(200, 'd') + '\0' + std::string(54, 'p'));
  EXPECT_EQ(seen.nameBuffer, std::string(16382, 'n') + '\0');
}

TEST(PromptOpenFiles, EmptyInitialFolderMeansTheCurrentFolder) {
  Seen seen;
  std::string name;
  DWORD flags = 0;
  PromptOpenFiles(nullptr, "", name, "", "a|b", "", flags, StandIn(seen, Cancel()));
  EXPECT_EQ(seen.folder, CurrentFolderForTest().substr(0, 255));
}

TEST(PromptOpenFiles, TakesBackTheWholeBufferWithoutItsTrailingNuls) {
  const struct {
    const char* what;
    std::optional<std::string> written;
    std::string name;
  } cases[] = {
      {"several files", "C:\\Data\0a.txt\0b.txt\0\0"s, "C:\\Data\0a.txt\0b.txt"s},
      {"one file", "C:\\Data\\a.txt\0"s, "C:\\Data\\a.txt"},
      {"cancelled", Cancel(), "*.*"},
  };
  for (const auto& c : cases) {
    Seen seen;
    std::string name = "*.*";
    DWORD flags = 0;
    PromptOpenFiles(nullptr, "", name, "C:\\", "a|b", "", flags, StandIn(seen, c.written));
    EXPECT_EQ(name, c.name) << c.what;
  }
}

// --- GetMultipleFiles ------------------------------------------------------

TEST(GetMultipleFiles, AsksWithTheAddFilesDialog) {
  Seen seen;
  std::string paths;
  GetMultipleFiles(nullptr, "C:\\Data", paths, StandIn(seen, Cancel()));
  EXPECT_EQ(seen.caption, "Add file(s)");
  EXPECT_EQ(seen.nameBuffer.substr(0, 4), "*.*\0"s);
  EXPECT_EQ(seen.folder, "C:\\Data");
  EXPECT_EQ(seen.defaultExtension, "");
  EXPECT_EQ(seen.description.Flags, 0x981204u);
  EXPECT_EQ(seen.description.nFilterIndex, 1u);
  const std::string list =
      "All Files  (*.*)\0*.*\0Data files  (*.DAT, *.INI)\0*.DAT;*.INI\0"
      "System files  (*.EXE, *.DLL)\0*.EXE;*.DLL\0Text files  (*.DIZ, *.TXT)\0*.DIZ;*.TXT"s;
  EXPECT_EQ(seen.filterList, list);
  EXPECT_EQ(list.size() + 2, 141u) << "prepared: the last item's NUL and one added";
}

TEST(GetMultipleFiles, JoinsTheChosenFilesIntoPaths) {
  const struct {
    const char* what;
    std::string before;
    std::optional<std::string> written;
    std::string after;
    int32_t count;
  } cases[] = {
      {"two files in a folder", "", "C:\\Data\0a.txt\0b.txt\0"s,
       "C:\\Data\\a.txt?C:\\Data\\b.txt", 2},
      {"two files at a drive root: no doubled separator", "", "C:\\\0a.txt\0b.txt\0"s,
       "C:\\a.txt?C:\\b.txt", 2},
      {"appended to what paths held", "x.dat", "C:\\Data\0a.txt\0b.txt\0"s,
       "x.dat?C:\\Data\\a.txt?C:\\Data\\b.txt", 2},
      {"three files", "", "D:\\a b\0one\0two\0three\0"s,
       "D:\\a b\\one?D:\\a b\\two?D:\\a b\\three", 3},
      {"one file replaces paths", "x.dat", "C:\\Data\\a.txt\0"s, "C:\\Data\\a.txt", 1},
      {"cancel leaves paths", "x.dat", Cancel(), "x.dat", 0},
  };
  for (const auto& c : cases) {
    Seen seen;
    std::string paths = c.before;
    EXPECT_EQ(GetMultipleFiles(nullptr, "C:\\", paths, StandIn(seen, c.written)), c.count)
        << c.what;
    EXPECT_EQ(paths, c.after) << c.what;
  }
}

// An owner window with a list box of the given control id holding three items.
class OwnerWindow {
 public:
  explicit OwnerWindow(int listId) {
    window_ = CreateWindowExA(0, "STATIC", "quenlib owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    list_ = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 100, 100, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(listId)),
                            GetModuleHandleA(nullptr), nullptr);
    for (const char* item : {"one", "two", "three"}) {
      SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
  }
  ~OwnerWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;

  HWND Handle() const { return window_; }
  LRESULT ItemCount() const { return SendMessageA(list_, LB_GETCOUNT, 0, 0); }

 private:
  HWND window_ = nullptr;
  HWND list_ = nullptr;
};

TEST(GetMultipleFiles, EmptiesListBox20OnlyAfterAConfirmedChoice) {
  const struct {
    const char* what;
    int listId;
    std::optional<std::string> written;
    LRESULT itemsAfter;
  } cases[] = {
      {"several files chosen", kFileListBoxId, "C:\\Data\0a.txt\0b.txt\0"s, 0},
      {"one file chosen", kFileListBoxId, "C:\\Data\\a.txt\0"s, 0},
      {"cancelled", kFileListBoxId, Cancel(), 3},
      {"owner without a control 20", 21, "C:\\Data\0a.txt\0b.txt\0"s, 3},
  };
  for (const auto& c : cases) {
    OwnerWindow owner(c.listId);
    ASSERT_NE(owner.Handle(), nullptr);
    ASSERT_EQ(owner.ItemCount(), 3);
    Seen seen;
    std::string paths;
    GetMultipleFiles(owner.Handle(), "C:\\", paths, StandIn(seen, c.written));
    EXPECT_EQ(seen.description.hwndOwner, owner.Handle()) << c.what;
    EXPECT_EQ(owner.ItemCount(), c.itemsAfter) << c.what;
  }
}

// --- ShowOpen and ShowSave -------------------------------------------------

struct ShowProcedure {
  const char* name;
  std::string (*show)(HWND, std::string&, const std::string&, std::string&,
                      const RunFileDialog&);
  std::optional<std::string> defaultExtension;
  DWORD nameSize;
};

const ShowProcedure kShowProcedures[] = {
    {"ShowOpen", ShowOpen, "TXT", 8192},
    {"ShowSave", ShowSave, std::nullopt, 260},
};

TEST(ShowFile, BlankVariablesAreFilledInAndKeepTheChange) {
  const struct {
    const char* what;
    std::string filter, folder;
    std::string filterAfter, folderAfter, listSeen;
  } cases[] = {
      {"empty filter", "", "C:\\Data", "All Files (*.*)|*.*", "C:\\Data", "All Files (*.*)\0*.*"s},
      {"blank filter keeps its blanks", "  ", "C:\\Data", "  All Files (*.*)|*.*", "C:\\Data",
       "  All Files (*.*)\0*.*"s},
      {"three blanks of folder become the current folder", "T|*.t", "   ", "T|*.t",
       CurrentFolderForTest(), "T\0*.t"s},
      {"empty folder becomes the current folder", "T|*.t", "", "T|*.t", CurrentFolderForTest(),
       "T\0*.t"s},
      {"filled variables stay", " T|*.t ", " C:\\Data ", " T|*.t ", " C:\\Data ",
       " T\0*.t "s},
  };
  for (const auto& c : cases) {
    for (const auto& p : kShowProcedures) {
      Seen seen;
      std::string filter = c.filter, folder = c.folder;
      p.show(nullptr, filter, "Caption", folder, StandIn(seen, Cancel()));
      EXPECT_EQ(filter, c.filterAfter) << c.what << ", " << p.name;
      EXPECT_EQ(folder, c.folderAfter) << c.what << ", " << p.name;
      EXPECT_EQ(seen.filterList, c.listSeen) << c.what << ", " << p.name;
      EXPECT_EQ(seen.folder, c.folderAfter) << c.what << ", " << p.name;
    }
  }
}

TEST(ShowFile, AsksWithAnEmptyNameTheShowFlagsAndItsDefaultExtension) {
  for (const auto& p : kShowProcedures) {
    Seen seen;
    std::string filter = "T|*.t", folder = "C:\\";
    p.show(nullptr, filter, "Caption", folder, StandIn(seen, Cancel()));
    EXPECT_EQ(seen.description.Flags, 0x881006u) << p.name;
    EXPECT_EQ(seen.defaultExtension, p.defaultExtension) << p.name;
    EXPECT_EQ(seen.caption, "Caption") << p.name;
    EXPECT_EQ(seen.description.nMaxFile, p.nameSize) << p.name;
    EXPECT_EQ(seen.nameBuffer[0], '\0') << p.name;
  }
}

TEST(ShowFile, GivesThePathWhenConfirmedAndEmptyWhenCancelled) {
  for (const auto& p : kShowProcedures) {
    Seen seen;
    std::string filter = "T|*.t", folder = "C:\\";
    EXPECT_EQ(p.show(nullptr, filter, "", folder, StandIn(seen, "C:\\My Data\\r 1.txt\0"s)),
              "C:\\My Data\\r 1.txt")
        << p.name;
    EXPECT_EQ(p.show(nullptr, filter, "", folder, StandIn(seen, Cancel())), "") << p.name;
  }
}

}  // namespace
}  // namespace segd

// Quenlib.dll as a Visual Basic program uses it: loaded by name, each export
// found by its undecorated name and called __stdcall with BSTR variables
// holding ANSI bytes (by reference: the variable's address). File dialogs
// are real and answered from another thread.
#include <windows.h>
#include <oleauto.h>
#include <float.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "quenlib_dialog_answer.h"
#include "quenlib_pe_exports.h"

// Pushes `count` 32-bit arguments (last first) as a __stdcall caller does,
// calls `function`, and reports how many argument bytes the callee removed.
// With `floatResult` the x87 result is popped and returned as its bits.
extern "C" uint32_t QuenlibCallMeasured(const void* function, const uint32_t* arguments,
                                        uint32_t count, uint32_t* removedBytes,
                                        uint32_t floatResult);
asm(R"(
    .text
    .globl _QuenlibCallMeasured
_QuenlibCallMeasured:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    movl %esp, %edi
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  call *8(%ebp)
    movl %edi, %ecx
    subl %esp, %ecx
    movl %edi, %esp
    movl 16(%ebp), %ebx
    shll $2, %ebx
    subl %ecx, %ebx
    movl 20(%ebp), %ecx
    movl %ebx, (%ecx)
    cmpl $0, 24(%ebp)
    je 3f
    subl $4, %esp
    fstps (%esp)
    popl %eax
3:  popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

namespace segd::test {
namespace {

using namespace std::string_literals;

using ShowFileFn = BSTR(__stdcall*)(HWND, BSTR*, BSTR*, BSTR*);
using GetMultipleFilesFn = int32_t(__stdcall*)(HWND, BSTR, BSTR*);
using HlsToRgbFn = int32_t(__stdcall*)(float, float, float);
using ChooseStepFn = float(__stdcall*)(float*, float*);
using PadOutFn = BSTR(__stdcall*)(BSTR*, int32_t*);

constexpr int kListBoxId = 20;

// A Visual Basic String variable: a BSTR of ANSI bytes, null when empty
// as VB leaves a variable that was never assigned.
class VbString {
 public:
  VbString() = default;
  explicit VbString(std::string_view bytes)
      : text_(SysAllocStringByteLen(bytes.data(), static_cast<UINT>(bytes.size()))) {}
  ~VbString() { SysFreeString(text_); }
  VbString(const VbString&) = delete;
  VbString& operator=(const VbString&) = delete;

  BSTR* Address() { return &text_; }
  BSTR Get() const { return text_; }
  std::string Bytes() const { return Bytes(text_); }

  static std::string Bytes(BSTR text) {
    return text == nullptr ? std::string()
                           : std::string(reinterpret_cast<const char*>(text), SysStringByteLen(text));
  }
  // Takes a function's result, which the caller owns.
  static std::string TakeResult(BSTR result) {
    std::string bytes = Bytes(result);
    SysFreeString(result);
    return bytes;
  }

 private:
  BSTR text_ = nullptr;
};

class Library {
 public:
  Library() : module_(LoadLibraryA("Quenlib.dll")) {}
  ~Library() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  HMODULE Module() const { return module_; }
  template <typename F>
  F Get(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

std::string CurrentFolder() {
  char folder[MAX_PATH * 4] = {};
  return std::string(folder, GetCurrentDirectoryA(sizeof folder, folder));
}

std::string TempFolder() {
  char folder[MAX_PATH] = {};
  GetTempPathA(sizeof folder, folder);
  return folder;
}

// A folder of its own with the given empty files; removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder(std::string folder, std::vector<std::string> files)
      : folder_(std::move(folder)), files_(std::move(files)) {
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (const auto& file : files_) std::ofstream(Path(file)) << "x";
  }
  ~ScratchFolder() {
    for (const auto& file : files_) DeleteFileA(Path(file).c_str());
    RemoveDirectoryA(folder_.c_str());  // fails harmlessly for a drive root
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Folder() const { return folder_; }
  std::string Path(const std::string& file) const {
    return folder_.back() == '\\' ? folder_ + file : folder_ + "\\" + file;
  }

 private:
  std::string folder_;
  std::vector<std::string> files_;
};

// An owner window with list box 20 holding three items.
class OwnerWindow {
 public:
  OwnerWindow() {
    window_ = CreateWindowExA(0, "STATIC", "quenlib caller", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    list_ = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListBoxId)),
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

class QuenlibCaller : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(library_.Module(), nullptr) << "Quenlib.dll not loaded"; }

  // A distinct folder name per process, with a blank in it.
  static std::string ScratchName(const char* what) {
    return TempFolder() + "quenlib " + what + " " + std::to_string(GetCurrentProcessId());
  }

  Library library_;
  ShowFileFn showOpen_ = library_.Get<ShowFileFn>("SHOWOPEN");
  ShowFileFn showSave_ = library_.Get<ShowFileFn>("SHOWSAVE");
  GetMultipleFilesFn getMultipleFiles_ = library_.Get<GetMultipleFilesFn>("GETMULTIPLEFILES");
  HlsToRgbFn hlsToRgb_ = library_.Get<HlsToRgbFn>("HLSTORGB");
  ChooseStepFn chooseStep_ = library_.Get<ChooseStepFn>("CHOOSESTEP");
  PadOutFn padOut_ = library_.Get<PadOutFn>("PADOUT");
};

uint32_t Arg(const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); }
uint32_t Arg(float value) { return std::bit_cast<uint32_t>(value); }

// --- The binary interface ---------------------------------------------------

TEST_F(QuenlibCaller, ExportsExactlyTheSixUndecoratedNames) {
  const ExportTable table = ReadExportTable(library_.Module());
  ASSERT_TRUE(table.valid);
  const std::vector<std::string> expected = {"CHOOSESTEP", "GETMULTIPLEFILES", "HLSTORGB",
                                             "PADOUT",     "SHOWOPEN",         "SHOWSAVE"};
  EXPECT_EQ(table.names, expected);
  EXPECT_EQ(table.functionCount, 6u) << "no export by ordinal only";
  for (const char* decorated : {"PADOUT@8", "_PADOUT@8", "SHOWOPEN@16"}) {
    EXPECT_EQ(GetProcAddress(library_.Module(), decorated), nullptr) << decorated;
  }
  for (const auto& name : expected) {
    EXPECT_NE(GetProcAddress(library_.Module(), name.c_str()), nullptr) << name;
  }
}

TEST_F(QuenlibCaller, NeedsOnlySystemDllsNoMingwRuntime) {
  const std::vector<std::string> allowed = {"kernel32.dll", "user32.dll", "comdlg32.dll",
                                            "oleaut32.dll", "msvcrt.dll"};
  const std::vector<std::string> imported = ReadImportedDlls(library_.Module());
  EXPECT_FALSE(imported.empty());
  for (std::string dll : imported) {
    std::transform(dll.begin(), dll.end(), dll.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_NE(std::find(allowed.begin(), allowed.end(), dll), allowed.end()) << dll;
  }
}

TEST_F(QuenlibCaller, ExportsRemoveTheirOwnArgumentsFromTheStack) {
  uint32_t removed = 0;
  const uint32_t hls[] = {Arg(0.0f), Arg(120.0f), Arg(240.0f)};
  EXPECT_EQ(QuenlibCallMeasured(reinterpret_cast<const void*>(hlsToRgb_), hls, 3, &removed, 0),
            0x0000FFu);
  EXPECT_EQ(removed, 12u) << "HLSTORGB";

  float first = 0, second = 100;
  const uint32_t range[] = {Arg(&first), Arg(&second)};
  const uint32_t step =
      QuenlibCallMeasured(reinterpret_cast<const void*>(chooseStep_), range, 2, &removed, 1);
  EXPECT_EQ(std::bit_cast<float>(step), 10.0f) << "single result in ST(0)";
  EXPECT_EQ(removed, 8u) << "CHOOSESTEP";

  VbString text("ab");
  int32_t width = 4;
  const uint32_t pad[] = {Arg(text.Address()), Arg(&width)};
  const uint32_t result =
      QuenlibCallMeasured(reinterpret_cast<const void*>(padOut_), pad, 2, &removed, 0);
  EXPECT_EQ(VbString::TakeResult(reinterpret_cast<BSTR>(static_cast<uintptr_t>(result))), "ab  ");
  EXPECT_EQ(removed, 8u) << "PADOUT";
}

TEST_F(QuenlibCaller, DialogExportsRemoveTheirOwnArgumentsFromTheStack) {
  uint32_t removed = 0;
  const struct {
    const char* name;
    ShowFileFn function;
  } exports[] = {{"SHOWOPEN", showOpen_}, {"SHOWSAVE", showSave_}};
  for (const auto& [name, function] : exports) {
    VbString filter("T|*.t"), caption("Quenlib stack check"), folder("C:\\");
    DialogAnswerer answer("Quenlib stack check", std::nullopt);
    const uint32_t args[] = {0, Arg(filter.Address()), Arg(caption.Address()),
                             Arg(folder.Address())};
    const uint32_t result =
        QuenlibCallMeasured(reinterpret_cast<const void*>(function), args, 4, &removed, 0);
    EXPECT_TRUE(answer.Wait().found) << name;
    EXPECT_EQ(VbString::TakeResult(reinterpret_cast<BSTR>(static_cast<uintptr_t>(result))), "");
    EXPECT_EQ(removed, 16u) << name;
  }
  VbString paths;
  DialogAnswerer answer("Add file(s)", std::nullopt);
  const uint32_t args[] = {0, Arg(SysAllocStringByteLen("C:\\", 3)), Arg(paths.Address())};
  EXPECT_EQ(QuenlibCallMeasured(reinterpret_cast<const void*>(getMultipleFiles_), args, 3,
                                &removed, 0),
            0u);
  EXPECT_TRUE(answer.Wait().found);
  EXPECT_EQ(removed, 12u) << "GETMULTIPLEFILES";
}

// --- Colour, step and padding through the DLL ----------------------------------

TEST_F(QuenlibCaller, HlsToRgbGivesTheNamedColours) {
  const struct {
    float hue, lightness, saturation;
    int32_t colour;
  } cases[] = {
      {0, 120, 240, 0x0000FF},   {160, 120, 240, 0xFF0000}, {80, 120, 240, 0x00FF00},
      {13, 240, 100, 0xFFFFFF},  {200, 240, 0, 0xFFFFFF},   {13, 0, 100, 0},
      {200, 0, 240, 0},          {40, 120, 0, 0x808080},    {0, 480, 0, 0xFFFFFF},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hlsToRgb_(c.hue, c.lightness, c.saturation), c.colour)
        << c.hue << ", " << c.lightness << ", " << c.saturation;
  }
}

// The scaled inputs are singles (8 / 240 as a single gives 8.5000004, so 9),
// and the result must not depend on the x87 precision the calling program
// runs with: 64 bits (this mingw program), 53 bits (the Windows and Visual
// Basic default) or 24 bits (set by Direct3D programs).
TEST_F(QuenlibCaller, HlsToRgbAndChooseStepDoNotFollowTheCallersX87Precision) {
  const struct {
    float hue, lightness, saturation;
    int32_t colour;
  } colours[] = {
      {0, 8, 0, 0x090909},      {0, 4, 240, 0x000009},     {10, 100, 48, 0x55607F},
      {37, 200, 96, 0xC3E3E5},  {0, 16, 120, 0x09091A},    {40, 120, 0, 0x808080},
      {0, 180, 240, 0x8080FF},
  };
  const struct {
    float first, second, step;
  } steps[] = {{0, 1, 0.1f}, {0, 600, 50}, {0, 0.2f, 0.02f}, {0, 100000000, 10000}};
  const struct {
    const char* name;
    unsigned int precision;
  } settings[] = {{"64-bit", _PC_64}, {"53-bit", _PC_53}, {"24-bit", _PC_24}};

  const unsigned int saved = _controlfp(0, 0);
  for (const auto& setting : settings) {
    std::vector<int32_t> gotColours;
    std::vector<float> gotSteps;
    _controlfp(setting.precision, _MCW_PC);
    for (const auto& c : colours) gotColours.push_back(hlsToRgb_(c.hue, c.lightness, c.saturation));
    for (const auto& s : steps) {
      float first = s.first, second = s.second;
      gotSteps.push_back(chooseStep_(&first, &second));
    }
    _controlfp(saved, _MCW_PC);
    for (std::size_t i = 0; i < std::size(colours); ++i) {
      EXPECT_EQ(gotColours[i], colours[i].colour)
          << setting.name << ": " << colours[i].hue << ", " << colours[i].lightness << ", "
          << colours[i].saturation;
    }
    for (std::size_t i = 0; i < std::size(steps); ++i) {
      EXPECT_EQ(gotSteps[i], steps[i].step)
          << setting.name << ": " << steps[i].first << " to " << steps[i].second;
    }
  }
}

TEST_F(QuenlibCaller, ChooseStepPicksFromTheTableAndLeavesTheEndsAlone) {
  const struct {
    float first, second, step;
  } cases[] = {
      {0, 100, 10},         {100, 0, 10},  {0, 1, 0.1f},      {0, 7, 1},
      {0, 250, 25},         {3, 3, 0.01f}, {0, 100000000, 10000},
      {0, 100000000000.0f, 0},             {0, 600, 50},      {0, 5, 0.5f},
  };
  for (const auto& c : cases) {
    float first = c.first, second = c.second;
    EXPECT_FLOAT_EQ(chooseStep_(&first, &second), c.step) << c.first << " to " << c.second;
    EXPECT_EQ(first, c.first);
    EXPECT_EQ(second, c.second);
  }
}

TEST_F(QuenlibCaller, PadOutRewritesTheVariableAndReturnsANewString) {
  const struct {
    std::string text;
    int32_t width;
    std::string padded;
  } cases[] = {
      {"  abc ", 5, "abc  "},
      {"abcde", 5, "abcde "},
      {"abcdefg", 5, "abcde"},
      {"", 3, "   "},
      {std::string(10, '\0'), 14, std::string(10, '\0') + "    "},
      {"", 0, " "},
  };
  for (const auto& c : cases) {
    VbString text(c.text);
    const BSTR before = text.Get();
    int32_t width = c.width;
    const BSTR result = padOut_(text.Address(), &width);
    EXPECT_NE(result, text.Get()) << "the result is a string of its own";
    EXPECT_EQ(VbString::TakeResult(result), c.padded);
    EXPECT_EQ(text.Bytes(), c.padded) << "the caller's variable holds the result";
    EXPECT_NE(text.Get(), before) << "the variable got a new string";
    EXPECT_EQ(width, c.width) << "width unchanged";
  }
}

TEST_F(QuenlibCaller, PadOutTakesANullVariableAsEmptyText) {
  VbString text;
  int32_t width = 3;
  EXPECT_EQ(VbString::TakeResult(padOut_(text.Address(), &width)), "   ");
  EXPECT_EQ(text.Bytes(), "   ");
}

// --- SHOWOPEN and SHOWSAVE with real dialogs ---------------------------------

TEST_F(QuenlibCaller, ShowOpenFillsInBlankVariablesAndCancelGivesEmptyText) {
  VbString filter, caption("Quenlib open cancel"), folder("   ");
  DialogAnswerer answer("Quenlib open cancel", std::nullopt);
  const std::string chosen =
      VbString::TakeResult(showOpen_(nullptr, filter.Address(), caption.Address(), folder.Address()));
  const DialogSeen& seen = answer.Wait();
  ASSERT_TRUE(seen.found);
  EXPECT_TRUE(seen.closed) << seen.stray;
  EXPECT_EQ(chosen, "");
  EXPECT_EQ(filter.Bytes(), "All Files (*.*)|*.*");
  EXPECT_EQ(folder.Bytes(), CurrentFolder());
  EXPECT_EQ(seen.fileTypes, std::vector<std::string>{"All Files (*.*)"});
  EXPECT_EQ(caption.Bytes(), "Quenlib open cancel");
}

TEST_F(QuenlibCaller, ShowOpenConfirmedGivesTheFullPathAndLeavesFilledVariables) {
  ScratchFolder scratch(ScratchName("open"), {"record 1.sgd"});
  VbString filter("Records (*.sgd)|*.sgd|All|*.*"), caption("Quenlib open"),
      folder(scratch.Folder());
  const BSTR filterBefore = filter.Get();
  const BSTR folderBefore = folder.Get();
  DialogAnswerer answer("Quenlib open", scratch.Path("record 1.sgd"));
  const std::string chosen =
      VbString::TakeResult(showOpen_(nullptr, filter.Address(), caption.Address(), folder.Address()));
  const DialogSeen& seen = answer.Wait();
  ASSERT_TRUE(seen.found);
  EXPECT_TRUE(seen.closed) << seen.stray;
  EXPECT_EQ(chosen, scratch.Path("record 1.sgd"));
  EXPECT_EQ(chosen.find('\0'), std::string::npos);
  EXPECT_NE(chosen.back(), ' ');
  EXPECT_EQ(filter.Get(), filterBefore) << "a filled filter variable is not replaced";
  EXPECT_EQ(folder.Get(), folderBefore) << "a filled folder variable is not replaced";
  EXPECT_EQ(seen.fileTypes, (std::vector<std::string>{"Records (*.sgd)", "All"}));
  EXPECT_EQ(seen.selectedFileType, 0);
}

TEST_F(QuenlibCaller, ShowSaveConfirmedGivesTheTypedPathAndCancelGivesEmptyText) {
  ScratchFolder scratch(ScratchName("save"), {});
  VbString filter("Text|*.txt"), caption("Quenlib save"), folder(scratch.Folder());
  {
    DialogAnswerer answer("Quenlib save", scratch.Path("new report.txt"));
    const std::string chosen = VbString::TakeResult(
        showSave_(nullptr, filter.Address(), caption.Address(), folder.Address()));
    const DialogSeen& seen = answer.Wait();
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.closed) << seen.stray;
    EXPECT_EQ(chosen, scratch.Path("new report.txt"));
  }
  {
    DialogAnswerer answer("Quenlib save", std::nullopt);
    EXPECT_EQ(VbString::TakeResult(
                  showSave_(nullptr, filter.Address(), caption.Address(), folder.Address())),
              "");
    EXPECT_TRUE(answer.Wait().found);
  }
}

// --- GETMULTIPLEFILES with real dialogs --------------------------------------

// Runs GETMULTIPLEFILES on `owner`, answering with `typed` (none: Cancel).
// The initial folder goes by value: the DLL takes it over.
struct MultipleRun {
  int32_t count;
  DialogSeen seen;
};

MultipleRun RunMultiple(GetMultipleFilesFn function, HWND owner, const std::string& folder,
                        VbString& paths, std::optional<std::string> typed) {
  DialogAnswerer answer("Add file(s)", std::move(typed));
  BSTR byValue = SysAllocStringByteLen(folder.data(), static_cast<UINT>(folder.size()));
  const int32_t count = function(owner, byValue, paths.Address());
  return {count, answer.Wait()};
}

TEST_F(QuenlibCaller, GetMultipleFilesJoinsTwoFilesOfAFolder) {
  ScratchFolder scratch(ScratchName("multi"), {"a.txt", "b.txt"});
  VbString paths;
  const MultipleRun run =
      RunMultiple(getMultipleFiles_, nullptr, scratch.Folder(), paths, "\"a.txt\" \"b.txt\"");
  ASSERT_TRUE(run.seen.found);
  EXPECT_TRUE(run.seen.closed) << run.seen.stray;
  EXPECT_EQ(run.count, 2);
  EXPECT_EQ(paths.Bytes(), scratch.Path("a.txt") + "?" + scratch.Path("b.txt"));
  EXPECT_EQ(run.seen.nameField, "*.*");
  EXPECT_EQ(run.seen.fileTypes,
            (std::vector<std::string>{"All Files  (*.*)", "Data files  (*.DAT, *.INI)",
                                      "System files  (*.EXE, *.DLL)",
                                      "Text files  (*.DIZ, *.TXT)"}));
  EXPECT_EQ(run.seen.selectedFileType, 0);
}

TEST_F(QuenlibCaller, GetMultipleFilesAtADriveRootDoesNotDoubleTheSeparator) {
  const std::string a = "quenlib a " + std::to_string(GetCurrentProcessId()) + ".txt";
  const std::string b = "quenlib b " + std::to_string(GetCurrentProcessId()) + ".txt";
  ScratchFolder root("C:\\", {a, b});
  VbString paths;
  const MultipleRun run = RunMultiple(getMultipleFiles_, nullptr, "C:\\", paths,
                                      "\"" + a + "\" \"" + b + "\"");
  ASSERT_TRUE(run.seen.found);
  EXPECT_TRUE(run.seen.closed) << run.seen.stray;
  EXPECT_EQ(run.count, 2);
  EXPECT_EQ(paths.Bytes(), "C:\\" + a + "?C:\\" + b);
}

TEST_F(QuenlibCaller, GetMultipleFilesAppendsToPathsAlreadyHeld) {
  ScratchFolder scratch(ScratchName("append"), {"a.txt", "b.txt"});
  VbString paths("x.dat");
  const MultipleRun run =
      RunMultiple(getMultipleFiles_, nullptr, scratch.Folder(), paths, "\"a.txt\" \"b.txt\"");
  ASSERT_TRUE(run.seen.found);
  EXPECT_EQ(run.count, 2);
  EXPECT_EQ(paths.Bytes(), "x.dat?" + scratch.Path("a.txt") + "?" + scratch.Path("b.txt"));
}

TEST_F(QuenlibCaller, GetMultipleFilesWithOneFileReplacesPathsAndEmptiesListBox20) {
  ScratchFolder scratch(ScratchName("one"), {"a.txt", "b.txt"});
  OwnerWindow owner;
  ASSERT_EQ(owner.ItemCount(), 3);
  VbString paths("x.dat");
  const MultipleRun run =
      RunMultiple(getMultipleFiles_, owner.Handle(), scratch.Folder(), paths, "b.txt");
  ASSERT_TRUE(run.seen.found);
  EXPECT_TRUE(run.seen.closed) << run.seen.stray;
  EXPECT_EQ(run.count, 1);
  EXPECT_EQ(paths.Bytes(), scratch.Path("b.txt"));
  EXPECT_EQ(owner.ItemCount(), 0);
}

TEST_F(QuenlibCaller, GetMultipleFilesWithTwoFilesEmptiesListBox20) {
  ScratchFolder scratch(ScratchName("list"), {"a.txt", "b.txt"});
  OwnerWindow owner;
  VbString paths;
  const MultipleRun run = RunMultiple(getMultipleFiles_, owner.Handle(), scratch.Folder(), paths,
                                      "\"a.txt\" \"b.txt\"");
  ASSERT_TRUE(run.seen.found);
  EXPECT_EQ(run.count, 2);
  EXPECT_EQ(owner.ItemCount(), 0);
}

TEST_F(QuenlibCaller, GetMultipleFilesCancelledChangesNothing) {
  ScratchFolder scratch(ScratchName("cancel"), {"a.txt"});
  OwnerWindow owner;
  VbString paths("x.dat");
  const BSTR before = paths.Get();
  const MultipleRun run =
      RunMultiple(getMultipleFiles_, owner.Handle(), scratch.Folder(), paths, std::nullopt);
  ASSERT_TRUE(run.seen.found);
  EXPECT_TRUE(run.seen.closed) << run.seen.stray;
  EXPECT_EQ(run.count, 0);
  EXPECT_EQ(paths.Get(), before);
  EXPECT_EQ(paths.Bytes(), "x.dat");
  EXPECT_EQ(owner.ItemCount(), 3);
}

// --- No string left behind ---------------------------------------------------

// Memory committed to the process (Wine leaves PrivateUsage at 0 but keeps
// PagefileUsage, which is the same figure on Windows).
SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;
}

SIZE_T GrowthSince(SIZE_T before) {
  const SIZE_T now = PrivateBytes();
  return now > before ? now - before : 0;
}

// A leak of one string per call would add far more than this.
constexpr SIZE_T kAllowedGrowth = 16u << 20;

TEST_F(QuenlibCaller, ManyPadOutCallsLeaveNoStringBehind) {
  const std::string text(64 * 1024, 'p');
  auto run = [&](int calls) {
    for (int i = 0; i < calls; ++i) {
      VbString variable(text);
      int32_t width = static_cast<int32_t>(text.size()) + 10;
      SysFreeString(padOut_(variable.Address(), &width));
    }
  };
  run(50);  // let the heap settle
  const SIZE_T before = PrivateBytes();
  run(2000);  // a leaked result or variable: 128 MB
  EXPECT_LT(GrowthSince(before), kAllowedGrowth);
}

TEST_F(QuenlibCaller, ManyDialogCallsReleaseReplacedAndTakenOverStrings) {
  const std::string big(8 << 20, ' ');
  auto run = [&](int calls) {
    for (int i = 0; i < calls; ++i) {
      // A blank 4 MB folder variable is replaced: the old string must go.
      VbString filter("T|*.t"), caption("Quenlib leak check"), folder(big);
      DialogAnswerer answer("Quenlib leak check", std::nullopt);
      SysFreeString(showOpen_(nullptr, filter.Address(), caption.Address(), folder.Address()));
      ASSERT_TRUE(answer.Wait().found);
      // A 4 MB folder by value is the DLL's to release.
      VbString paths;
      ASSERT_TRUE(RunMultiple(getMultipleFiles_, nullptr, big, paths, std::nullopt).seen.found);
    }
  };
  run(1);
  const SIZE_T before = PrivateBytes();
  run(3);  // leaking either string: at least 24 MB
  EXPECT_LT(GrowthSince(before), kAllowedGrowth);
}

}  // namespace
}  // namespace segd::test

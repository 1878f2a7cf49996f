// The window's start-up state and its commands without a scan: the boxes
// and name from dorvik.def, "All", "None", the check boxes, "End" storing the
// defaults, and a close command that stores nothing.
#include "window_harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

#include "defaults_bytes.h"

namespace segd::test {
namespace {

constexpr int kFirstBox = 1008;  // box of entry 0; entry k has box 1008 + k
constexpr int kViewerBox = 1042;
constexpr int kOpen = 1004, kEnd = 1005, kAll = 1056, kNone = 1057, kNameBox = 1054;

class MainWindowCommands : public ::testing::Test {
 protected:
  std::string DefaultsPath() const { return program_.File("dorvik.def"); }
  RunningWindow& Start() {
    window_.reset();
    window_ = std::make_unique<RunningWindow>(program_.Path(), starter_);
    return *window_;
  }
  // "End", then the file it wrote.
  std::vector<std::uint8_t> EndAndRead() {
    window_->Click(kEnd);
    EXPECT_TRUE(window_->WaitClosed());
    return ReadBytes(DefaultsPath());
  }
  std::vector<bool> BoxStates() const {
    std::vector<bool> states;
    for (int k = 0; k < 35; ++k) states.push_back(window_->Checked(kFirstBox + k));
    return states;
  }

  TempFolder program_{"commands"};
  RecordingStarter starter_;
  std::unique_ptr<RunningWindow> window_;
};

TEST_F(MainWindowCommands, FirstStartShowsNothingSelectedAnEmptyNameAndCreatesAnEmptyDefaultsFile) {
  RunningWindow& w = Start();
  ASSERT_TRUE(w.IsOpen());
  EXPECT_EQ(BoxStates(), std::vector<bool>(35, false));
  EXPECT_EQ(w.Text(kNameBox), "");
  EXPECT_EQ(w.ProgressRange(), std::make_pair(0, 100));
  EXPECT_EQ(w.ProgressPosition(), 0);
  ASSERT_TRUE(FileExists(DefaultsPath()));
  EXPECT_TRUE(ReadBytes(DefaultsPath()).empty());
}

TEST_F(MainWindowCommands, EndAfterAFirstStartFillsTheDefaultsFileWithTheRecord) {
  Start();
  const auto bytes = EndAndRead();
  ASSERT_EQ(bytes.size(), kDefaultsSize);
  for (std::size_t k = 0; k < 36; ++k) EXPECT_EQ(EntryOf(bytes, k), 0) << k;
  // No run: the folder field stays as read, the zero bytes of the empty file.
  EXPECT_EQ(FolderField(bytes), std::string(kTextSize, '\0'));
  EXPECT_EQ(NameField(bytes), Padded(""));
}

TEST_F(MainWindowCommands, OnlyEntriesEqualToOneShowAsChecked) {
  Entries entries{};
  const std::vector<std::pair<int, std::int32_t>> values = {
      {0, 1}, {1, 2}, {2, -1}, {3, 0}, {4, 0x101}, {29, 1}, {30, 1}, {33, 65537}, {34, 1}, {35, 1}};
  for (auto [k, v] : values) entries[static_cast<std::size_t>(k)] = v;
  WriteBytes(DefaultsPath(), DefaultsBytes(entries, "C:\\old", "Line 7"));
  Start();
  for (int k = 0; k < 35; ++k) {
    EXPECT_EQ(window_->Checked(kFirstBox + k), entries[static_cast<std::size_t>(k)] == 1) << "entry " << k;
  }
  EXPECT_EQ(window_->Text(kNameBox), "Line 7") << "trailing blanks of the field are trimmed";
}

TEST_F(MainWindowCommands, EntriesNotTouchedKeepTheirValuesThroughEnd) {
  Entries entries{};
  entries[5] = 7;
  entries[31] = -3;
  entries[35] = 42;
  WriteBytes(DefaultsPath(), DefaultsBytes(entries, "", ""));
  Start();
  window_->Click(kFirstBox + 6);
  const auto bytes = EndAndRead();
  EXPECT_EQ(EntryOf(bytes, 5), 7);
  EXPECT_EQ(EntryOf(bytes, 6), 1);
  EXPECT_EQ(EntryOf(bytes, 31), -3);
  EXPECT_EQ(EntryOf(bytes, 35), 42);
}

TEST_F(MainWindowCommands, AHundredByteFileGivesEntries0To24AndNothingElse) {
  Entries entries{};
  entries.fill(1);
  auto bytes = DefaultsBytes(entries, "C:\\ignored", "ignored");
  bytes.resize(100);
  WriteBytes(DefaultsPath(), bytes);
  Start();
  std::vector<bool> expected(35, false);
  for (int k = 0; k < 25; ++k) expected[static_cast<std::size_t>(k)] = true;
  EXPECT_EQ(BoxStates(), expected);
  EXPECT_EQ(window_->Text(kNameBox), "");

  const auto written = EndAndRead();
  ASSERT_EQ(written.size(), kDefaultsSize);
  for (std::size_t k = 0; k < 36; ++k) EXPECT_EQ(EntryOf(written, k), k < 25 ? 1 : 0) << k;
  EXPECT_EQ(FolderField(written), std::string(kTextSize, '\0')) << "the zero bytes read are stored as they were";
}

TEST_F(MainWindowCommands, CheckBoxesFollowClicksIntoTheSelection) {
  Start();
  const std::vector<int> clickedOnce = {0, 9, 17, 18, 29, 30, 33, 34};
  for (int k : clickedOnce) window_->Click(kFirstBox + k);
  window_->Click(kFirstBox + 12);
  window_->Click(kFirstBox + 12);
  for (int k : clickedOnce) EXPECT_TRUE(window_->Checked(kFirstBox + k)) << k;
  const auto bytes = EndAndRead();
  for (int k = 0; k < 36; ++k) {
    const bool once = std::find(clickedOnce.begin(), clickedOnce.end(), k) != clickedOnce.end();
    EXPECT_EQ(EntryOf(bytes, static_cast<std::size_t>(k)), once ? 1 : 0) << k;
  }
}

TEST_F(MainWindowCommands, ACheckBoxActsOnAnyNotification) {
  Start();
  // The box changes without telling the window; any later command from it
  // copies its state.
  SendMessageA(window_->Item(kFirstBox + 3), BM_SETCHECK, BST_CHECKED, 0);
  window_->Command(kFirstBox + 3, BN_SETFOCUS);
  SendMessageA(window_->Item(kFirstBox + 4), BM_SETCHECK, BST_CHECKED, 0);
  const auto bytes = EndAndRead();
  EXPECT_EQ(EntryOf(bytes, 3), 1);
  EXPECT_EQ(EntryOf(bytes, 4), 0) << "no command came from box 4";
}

TEST_F(MainWindowCommands, AllChecksFieldsAndSectionsButLeavesTheViewerBox) {
  Entries entries{};
  entries[34] = 1;
  entries[35] = 9;
  WriteBytes(DefaultsPath(), DefaultsBytes(entries, "", ""));
  Start();
  window_->Click(kAll);
  std::vector<bool> expected(35, true);
  EXPECT_EQ(BoxStates(), expected);
  const auto bytes = EndAndRead();
  for (std::size_t k = 0; k < 34; ++k) EXPECT_EQ(EntryOf(bytes, k), 1) << k;
  EXPECT_EQ(EntryOf(bytes, 34), 1);
  EXPECT_EQ(EntryOf(bytes, 35), 9);
}

TEST_F(MainWindowCommands, NoneClearsFieldsAndSectionsButLeavesTheViewerBox) {
  Entries entries{};
  entries.fill(1);
  WriteBytes(DefaultsPath(), DefaultsBytes(entries, "", ""));
  Start();
  window_->Click(kNone);
  std::vector<bool> expected(35, false);
  expected[34] = true;
  EXPECT_EQ(BoxStates(), expected);
  const auto bytes = EndAndRead();
  for (std::size_t k = 0; k < 34; ++k) EXPECT_EQ(EntryOf(bytes, k), 0) << k;
  EXPECT_EQ(EntryOf(bytes, 34), 1);
  EXPECT_EQ(EntryOf(bytes, 35), 1);
}

TEST_F(MainWindowCommands, ButtonsActOnNotificationCodes0And1Only) {
  Start();
  window_->Command(kAll, BN_DOUBLECLICKED);
  window_->Command(kAll, BN_SETFOCUS);
  EXPECT_FALSE(window_->Checked(kFirstBox));
  window_->Command(kAll, 1);
  EXPECT_TRUE(window_->Checked(kFirstBox));
  window_->Command(kNone, BN_KILLFOCUS);
  EXPECT_TRUE(window_->Checked(kFirstBox));
  window_->Command(kNone, BN_CLICKED);
  EXPECT_FALSE(window_->Checked(kFirstBox));

  window_->Command(kEnd, BN_DOUBLECLICKED);
  EXPECT_TRUE(window_->IsOpen());
  window_->Command(kEnd, 1);
  EXPECT_TRUE(window_->WaitClosed());
  EXPECT_EQ(ReadBytes(DefaultsPath()).size(), kDefaultsSize);
}

TEST_F(MainWindowCommands, EnterAndEscapeCommandsAreIgnored) {
  Start();
  window_->Command(IDOK, BN_CLICKED);
  window_->Command(IDCANCEL, BN_CLICKED);
  EXPECT_TRUE(window_->IsOpen());
  EXPECT_TRUE(ReadBytes(DefaultsPath()).empty());
}

TEST_F(MainWindowCommands, ACloseCommandClosesWithoutStoring) {
  Entries entries{};
  entries[2] = 1;
  const auto before = DefaultsBytes(entries, "C:\\kept", "Kept");
  for (UINT how : {0u, 1u}) {
    SCOPED_TRACE(how == 0 ? "WM_CLOSE" : "SC_CLOSE");
    WriteBytes(DefaultsPath(), before);
    Start();
    window_->Click(kAll);
    window_->SetText(kNameBox, "changed");
    if (how == 0) {
      PostMessageA(window_->Window(), WM_CLOSE, 0, 0);
    } else {
      PostMessageA(window_->Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    EXPECT_TRUE(window_->WaitClosed());
    EXPECT_EQ(ReadBytes(DefaultsPath()), before);
  }
}

struct NameCase {
  const char* typed;
  std::string stored;
};

TEST_F(MainWindowCommands, EndStoresTheNameFormedLikeAReportNameWithoutTrimming) {
  const std::vector<NameCase> cases = {
      {"results.txt", "Results"},
      {"MY_RUN.TXT", "My_Run"},
      {"a.txt.old", "A.Old"},
      {"line 2b", "Line 2B"},
      {"  spaced out  ", "  Spaced Out  "},
      {"", ""},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.typed);
    Start();
    window_->SetText(kNameBox, c.typed);
    const auto bytes = EndAndRead();
    EXPECT_EQ(NameField(bytes), Padded(c.stored));
  }
}

TEST_F(MainWindowCommands, ANameLongerThan1024CharactersIsStoredCut) {
  Start();
  std::string typed(1500, 'x');
  typed[1023] = 'y';
  typed[1024] = 'z';
  window_->SetText(kNameBox, typed);
  const auto bytes = EndAndRead();
  ASSERT_EQ(bytes.size(), kDefaultsSize);
  std::string expected = "X" + std::string(1022, 'x') + "y";
  EXPECT_EQ(NameField(bytes), expected);
}

TEST_F(MainWindowCommands, TheNextStartShowsWhatEndStored) {
  Start();
  window_->SetText(kNameBox, "results.txt");
  window_->Click(kFirstBox + 1);
  window_->Click(kFirstBox + 31);
  window_->Click(kViewerBox);
  EndAndRead();
  Start();
  EXPECT_EQ(window_->Text(kNameBox), "Results");
  std::vector<bool> expected(35, false);
  expected[1] = expected[31] = expected[34] = true;
  EXPECT_EQ(BoxStates(), expected);
}

TEST_F(MainWindowCommands, EndWithoutARunKeepsTheFolderFieldAndBytesBeyondTheRecord) {
  auto before = DefaultsBytes(Entries{}, "D:\\survey 12\\day 3", "x");
  before[kFolderOffset + 40] = '\0';  // whatever it holds, it is kept byte for byte
  for (int i = 0; i < 50; ++i) before.push_back(static_cast<std::uint8_t>(i));
  WriteBytes(DefaultsPath(), before);
  Start();
  const auto bytes = EndAndRead();
  ASSERT_EQ(bytes.size(), before.size());
  EXPECT_EQ(FolderField(bytes), FolderField(before));
  EXPECT_TRUE(std::equal(before.begin() + kDefaultsSize, before.end(), bytes.begin() + kDefaultsSize));
}

TEST_F(MainWindowCommands, CancellingTheFileDialogRunsNothingAndChangesNothing) {
  Entries entries{};
  entries[0] = 1;
  WriteBytes(DefaultsPath(), DefaultsBytes(entries, "C:\\before", "Before"));
  Start();
  const std::string folder = CurrentFolderNow();
  window_->PostClick(kOpen);
  HWND dialog = window_->WaitForDialog("Select File To Open");
  ASSERT_NE(dialog, nullptr);
  window_->CancelDialog(dialog);
  ASSERT_TRUE(window_->WaitIdle());
  EXPECT_EQ(window_->ProgressRange(), std::make_pair(0, 100));
  EXPECT_EQ(CurrentFolderNow(), folder);
  EXPECT_TRUE(window_->Checked(kFirstBox));
  EXPECT_EQ(window_->Text(kNameBox), "Before");
  const auto bytes = EndAndRead();
  EXPECT_EQ(FolderField(bytes), Padded("C:\\before")) << "no run: the folder field stays as read";
  EXPECT_EQ(NameField(bytes), Padded("Before"));
}

}  // namespace
}  // namespace segd::test

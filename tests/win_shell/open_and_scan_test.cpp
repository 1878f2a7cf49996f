// Scans started from "Open" as a user starts them: the real open dialog,
// answered with a record's full path, the run with the window as its
// environment, the report in the chosen file's folder, progress, notices as
// message boxes, and the viewer's command line.
#include "window_harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "defaults_bytes.h"
#include "output/report/decode_file.h"
#include "tools/record_writer.h"
#include "tools/sample_shot.h"

namespace segd::test {
namespace {

constexpr int kFirstBox = 1008;
constexpr int kViewerBox = 1042;
constexpr int kEnd = 1005, kAll = 1056, kNameBox = 1054, kBar = 1052;

// A shot record of `shape` at `path`; returns its trace count T.
std::int32_t WriteShot(const std::string& path, const writer::ShotShape& shape,
                       void (*adjust)(writer::RecordSpec&) = nullptr) {
  writer::RecordSpec spec = writer::ShotRecord(shape);
  if (adjust) adjust(spec);
  EXPECT_TRUE(writer::WriteRecordFile(spec, path, writer::FileMode::kSparse));
  return static_cast<std::int32_t>(writer::LayoutOf(spec).traceCount);
}

constexpr writer::ShotShape kSmallShot{1, 2, 6, 20};

// The same scan run directly, for the bytes the window's run must write.
class QuietRun final : public NoticeSink, public ProgressSink, public ReportViewer, public OutputNameSource {
 public:
  explicit QuietRun(std::string name) : name_(std::move(name)) {}
  void ShowNotice(std::string_view, std::string_view, NoticeKind) override {}
  void SetRange(std::int32_t, std::int32_t) override {}
  void SetPosition(std::int32_t) override {}
  void ViewReport(const std::string&) override {}
  std::string OutputName() override { return name_; }

 private:
  std::string name_;
};

std::vector<std::uint8_t> DirectReport(const std::string& record, const std::string& name,
                                       const OutputSelection& selection, const std::string& folder,
                                       const std::string& reportName) {
  QuietRun quiet(name);
  TraceFields fields;
  DiskFileAccess files;
  ScanContext context{quiet, selection, fields, quiet, quiet, quiet, files, folder, '\\'};
  DecodeFile(record, context);
  return ReadBytes(JoinPath(folder, reportName));
}

class OpenAndScanTest : public ::testing::Test {
 protected:
  RunningWindow& Start() {
    window_ = std::make_unique<RunningWindow>(program_.Path(), starter_);
    return *window_;
  }
  std::vector<std::uint8_t> EndAndReadDefaults() {
    window_->Click(kEnd);
    EXPECT_TRUE(window_->WaitClosed());
    return ReadBytes(program_.File("dorvik.def"));
  }

  TempFolder program_{"program"};
  TempFolder data_{"data"};
  std::string recordFolder_ = data_.Folder("rec folder");
  std::string record_ = JoinPath(recordFolder_, "shot 4217.segd");
  RecordingStarter starter_;
  std::unique_ptr<RunningWindow> window_;
};

TEST_F(OpenAndScanTest, OpenScansTheChosenRecordIntoItsFolderAndEndRemembersThatFolder) {
  const std::int32_t traces = WriteShot(record_, kSmallShot);
  RunningWindow& w = Start();
  w.Click(kAll);
  w.SetText(kNameBox, "field run.txt");

  const auto notices = OpenAndScan(w, record_);
  EXPECT_TRUE(notices.empty()) << notices.front().text;

  const std::string report = JoinPath(recordFolder_, "Field Run.Txt");
  ASSERT_TRUE(FileExists(report));
  EXPECT_FALSE(FileExists(program_.File("Field Run.Txt")));
  OutputSelection all{};
  for (int k = 0; k <= 33; ++k) all[static_cast<std::size_t>(k)] = 1;
  TempFolder elsewhere{"direct"};
  EXPECT_EQ(ReadBytes(report), DirectReport(record_, "field run.txt", all, elsewhere.Path(), "Field Run.Txt"));

  EXPECT_EQ(w.ProgressRange(), std::make_pair(0, traces));
  EXPECT_EQ(w.ProgressPosition(), traces);
  EXPECT_EQ(CurrentFolderNow(), recordFolder_);
  EXPECT_TRUE(starter_.Lines().empty()) << "the viewer box is not ticked";

  const auto defaults = EndAndReadDefaults();
  EXPECT_EQ(FolderField(defaults), Padded(recordFolder_));
  EXPECT_EQ(NameField(defaults), Padded("Field Run"));
}

TEST_F(OpenAndScanTest, TheFileDialogIsModalToTheWindowAndARememberedFolderOfNulsIsNoFolder) {
  WriteShot(record_, kSmallShot);
  // 100 bytes: entries 0 to 24, both texts read as 1024 NUL characters.
  std::vector<std::uint8_t> bytes(100, 0);
  WriteBytes(program_.File("dorvik.def"), bytes);
  RunningWindow& w = Start();
  w.SetText(kNameBox, "nul folder");
  w.PostClick(1004);
  HWND dialog = w.WaitForDialog("Select File To Open");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), w.Window());
  EXPECT_FALSE(IsWindowEnabled(w.Window()));
  w.AnswerOpenDialog(dialog, record_);
  ASSERT_TRUE(w.WaitIdle());
  EXPECT_TRUE(FileExists(JoinPath(recordFolder_, "Nul Folder.Txt")));
}

TEST_F(OpenAndScanTest, TheNameBoxIsReadWhenTheRunAsksForIt) {
  WriteShot(record_, kSmallShot);
  RunningWindow& w = Start();
  w.SetText(kNameBox, "before");
  w.PostClick(1004);
  HWND dialog = w.WaitForDialog("Select File To Open");
  ASSERT_NE(dialog, nullptr);
  w.SetText(kNameBox, "after");
  w.AnswerOpenDialog(dialog, record_);
  ASSERT_TRUE(w.WaitIdle());
  EXPECT_TRUE(FileExists(JoinPath(recordFolder_, "After.Txt")));
  EXPECT_FALSE(FileExists(JoinPath(recordFolder_, "Before.Txt")));
}

TEST_F(OpenAndScanTest, ANegativeStatusShowsTheComplaintAndWritesNoReport) {
  WriteShot(record_, kSmallShot, [](writer::RecordSpec& spec) { spec.general1.formatCode = 1234; });
  RunningWindow& w = Start();
  w.SetText(kNameBox, "bad");
  const auto notices = OpenAndScan(w, record_);
  ASSERT_EQ(notices.size(), 1u);
  std::string complaint = "1234 is an invalid SEGD Format Code. This is not a SEG D File.";
  complaint.resize(80, ' ');
  EXPECT_EQ(notices[0].text, complaint);
  EXPECT_EQ(notices[0].caption, "Error") << "an empty caption is the platform's";
  EXPECT_FALSE(notices[0].icon);
  EXPECT_TRUE(notices[0].modalToMainWindow);
  EXPECT_FALSE(FileExists(JoinPath(recordFolder_, "Bad.Txt")));
  EXPECT_EQ(w.ProgressRange(), std::make_pair(0, 100)) << "a run stopped early leaves the bar alone";
  EXPECT_EQ(w.ProgressPosition(), 0);
}

TEST_F(OpenAndScanTest, ABlankOutputNameWarnsAndWritesNoReport) {
  WriteShot(record_, kSmallShot);
  RunningWindow& w = Start();
  w.SetText(kNameBox, "   ");
  const auto notices = OpenAndScan(w, record_);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].text, "Enter a File Name for the Results");
  EXPECT_EQ(notices[0].caption, "Specify a File");
  EXPECT_TRUE(notices[0].icon) << "a warning carries the exclamation icon";
  EXPECT_TRUE(notices[0].modalToMainWindow);
  EXPECT_FALSE(FileExists(JoinPath(recordFolder_, ".Txt")));
}

TEST_F(OpenAndScanTest, ARecordOfAnotherModelIsNamedInAPlainNoticeAndStillListed) {
  // Block 1's general constants name the recorder model; 1 is not the SN388.
  WriteShot(record_, kSmallShot, [](writer::RecordSpec& spec) { spec.general1.generalConstants = 1; });
  RunningWindow& w = Start();
  w.SetText(kNameBox, "other");
  const auto notices = OpenAndScan(w, record_);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].text, "Not a valid SN388 File, Decode will continue, but results may not be valid!!");
  EXPECT_EQ(notices[0].caption, "Invalid File");
  EXPECT_FALSE(notices[0].icon);
  EXPECT_TRUE(FileExists(JoinPath(recordFolder_, "Other.Txt")));
  EXPECT_EQ(w.ProgressRange(), std::make_pair(0, 0)) << "no extended header: T reads as 0";
}

TEST_F(OpenAndScanTest, TheViewerBoxHandsTheReportPathToNotepadUnquoted) {
  WriteShot(record_, kSmallShot);
  RunningWindow& w = Start();
  w.Click(kViewerBox);
  w.SetText(kNameBox, "view me");
  EXPECT_TRUE(OpenAndScan(w, record_).empty());
  char windows[MAX_PATH] = {};
  const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
  const std::vector<std::string> expected = {std::string(windows, n) + "\\notepad.exe " +
                                             JoinPath(recordFolder_, "View Me.Txt")};
  EXPECT_EQ(starter_.Lines(), expected);
}

TEST_F(OpenAndScanTest, ANotepadThatCannotStartIsReportedAsAWarning) {
  WriteShot(record_, kSmallShot);
  RecordingStarter failing(false);
  window_ = std::make_unique<RunningWindow>(program_.Path(), failing);
  window_->Click(kViewerBox);
  window_->SetText(kNameBox, "x");
  const auto notices = OpenAndScan(*window_, record_);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].text, "Cannot Start Notepad");
  EXPECT_EQ(notices[0].caption, "Notepad not found");
  EXPECT_TRUE(notices[0].icon);
  EXPECT_EQ(failing.Lines().size(), 1u);
  EXPECT_TRUE(FileExists(JoinPath(recordFolder_, "X.Txt"))) << "the report was written before";
}

// Counts the position updates the bar receives during a run.
std::atomic<int> barPositionMessages{0};
WNDPROC barProcedure = nullptr;

LRESULT CALLBACK CountingBar(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == PBM_SETPOS) ++barPositionMessages;
  return CallWindowProcA(barProcedure, bar, message, wParam, lParam);
}

TEST_F(OpenAndScanTest, ARunOfMoreThan65535TracesShowsItsProgressScaledWithFewUpdates) {
  // 1 auxiliary and 7 x 9400 seismic traces of 1 sample: T = 65801.
  const std::int32_t traces = WriteShot(record_, writer::ShotShape{1, 7, 9400, 1});
  ASSERT_GT(traces, 65535);
  RunningWindow& w = Start();
  w.SetText(kNameBox, "big");
  HWND bar = w.Item(kBar);
  barPositionMessages = 0;
  barProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingBar)));

  EXPECT_TRUE(OpenAndScan(w, record_).empty());
  SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(barProcedure));

  ASSERT_TRUE(FileExists(JoinPath(recordFolder_, "Big.Txt")));
  const auto [low, high] = w.ProgressRange();
  EXPECT_EQ(low, 0);
  EXPECT_GT(high, 0);
  EXPECT_LE(high, 65535);
  EXPECT_EQ(w.ProgressPosition(), high) << "the last trace fills the bar";
  RECT client{};
  GetClientRect(bar, &client);
  EXPECT_GE(barPositionMessages.load(), 2);
  EXPECT_LE(barPositionMessages.load(), client.right + 2) << "at most one update per pixel of the bar";
}

}  // namespace
}  // namespace segd::test

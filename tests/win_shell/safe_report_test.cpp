// Reports written safely in the Windows program: names refused by the
// Windows name rule, the system's reasons in the notices, a record cut
// short told in a message box.
#include "window_harness.h"

#include <gtest/gtest.h>

#include "output/report/decode_file.h"
#include "tools/record_writer.h"
#include "tools/sample_shot.h"

namespace segd::test {
namespace {

constexpr int kNameBox = 1054;

// The names that Windows cannot take, or that would leave the folder.
TEST(SafeReportWindow, RefusedNamesAreToldInAWarningBoxAndWriteNothing) {
  TempFolder program{"program"}, data{"data"};
  const std::string record = data.File("shot.segd");
  ASSERT_TRUE(writer::WriteRecordFile(writer::SampleShot(), record));
  RecordingStarter starter;
  RunningWindow w(program.Path(), starter);
  for (const char* name : {"..\\up", "a/b", "con", "nul.txt", "COM1", "a:b", "x?y", "p|q", "s<t>"}) {
    SCOPED_TRACE(name);
    w.SetText(kNameBox, name);
    const auto notices = OpenAndScan(w, record);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text, std::string("The output name ") + name + " cannot be used as a file name");
    EXPECT_EQ(notices[0].caption, "Specify a File");
    EXPECT_TRUE(notices[0].icon);
  }
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(data.File("*.Txt").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a report was written: " << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

TEST(SafeReportWindow, ARecordCutShortIsToldInAWarningBoxAfterTheWalk) {
  TempFolder program{"program"}, data{"data"};
  const writer::RecordSpec spec = writer::SampleShot();
  const writer::RecordLayout layout = writer::LayoutOf(spec);
  std::vector<std::uint8_t> bytes = writer::Compose(spec);
  bytes.resize(layout.TraceOffset(4) + 10);  // inside trace 5
  const std::string record = data.File("cut.segd");
  WriteBytes(record, bytes);
  RecordingStarter starter;
  RunningWindow w(program.Path(), starter);
  w.SetText(kNameBox, "cut");
  const auto notices = OpenAndScan(w, record);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].text, "The record file ends inside trace 5 of " + std::to_string(layout.traceCount) +
                                 "; the traces from 5 on were read past its end");
  EXPECT_EQ(notices[0].caption, "Record Cut Short");
  EXPECT_TRUE(notices[0].icon);
  EXPECT_TRUE(notices[0].modalToMainWindow);
  EXPECT_TRUE(FileExists(data.File("Cut.Txt"))) << "the report is written all the same";
}

class Notices final : public NoticeSink, public ProgressSink, public ReportViewer, public OutputNameSource {
 public:
  std::vector<std::string> texts;
  void ShowNotice(std::string_view text, std::string_view, NoticeKind) override { texts.emplace_back(text); }
  void SetRange(std::int32_t, std::int32_t) override {}
  void SetPosition(std::int32_t) override {}
  void ViewReport(const std::string&) override {}
  std::string OutputName() override { return "r"; }
};

TEST(SafeReportWindow, NoticesOfFilesThatCannotBeOpenedOrCreatedCarryTheSystemsReason) {
  TempFolder data{"data"};
  const std::string record = data.File("shot.segd");
  ASSERT_TRUE(writer::WriteRecordFile(writer::SampleShot(), record));
  const std::string missing = data.File("missing.segd"), noFolder = data.File("no\\such");
  struct Case {
    std::string record, folder, start;
  };
  const Case cases[] = {
      {missing, data.Path(), "Cannot open " + missing + " (No such file or directory)"},
      {record, noFolder, "Cannot create the report file " + noFolder + "\\R.Txt ("},
  };
  for (const Case& c : cases) {
    Notices sinks;
    OutputSelection selection{};
    TraceFields fields;
    DiskFileAccess files;
    ScanContext context{sinks, selection, fields, sinks, sinks, sinks, files, c.folder, '\\'};
    EXPECT_EQ(DecodeFile(c.record, context), kNoReport);
    ASSERT_EQ(sinks.texts.size(), 1u);
    EXPECT_EQ(sinks.texts[0].rfind(c.start, 0), 0u) << sinks.texts[0];
    EXPECT_EQ(sinks.texts[0].find("()"), std::string::npos) << "an empty reason";
    EXPECT_EQ(sinks.texts[0].back(), ')') << sinks.texts[0];
  }
}

}  // namespace
}  // namespace segd::test

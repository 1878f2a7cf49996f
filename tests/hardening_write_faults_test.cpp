// A report write that fails, at the first, a middle or the last line, or on
// a full disk: the run walks on, then says the report is incomplete, returns
// without a report and does not start the viewer.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "hardening_common.h"
#include "output/files/atomic_file.h"

namespace segd {
namespace {

using testing::FakeHost;

constexpr char kReportPath[] = "C:\\Data\\Results.Txt";

// The sample with every section and column selected and the viewer asked.
FakeHost SampleHost() {
  FakeHost host;
  host.record = hardening::Sample().bytes;
  hardening::SelectEverything(host.selection);
  host.selection[kSelectViewReport] = 1;
  return host;
}

TEST(ReportWriteFault, AFailureAtTheFirstAMiddleOrTheLastLineIsReportedAfterTheRun) {
  FakeHost clean = SampleHost();
  ASSERT_EQ(clean.Run(), kReportWritten);
  const std::string full = clean.Report();
  const std::vector<std::string> lines = clean.ReportLines();
  const std::int32_t traces = static_cast<std::int32_t>(hardening::Sample().layout.traceCount);
  // Where each line starts in the report.
  std::size_t middle = 0;
  for (std::size_t i = 0; i < lines.size() / 2; ++i) middle += lines[i].size() + 2;

  struct Case {
    const char* where;
    std::int64_t failAfter;  // bytes the disk takes before it fails
  };
  const Case cases[] = {
      {"first line", 0},
      {"first line, a few bytes in", 5},
      {"middle line", static_cast<std::int64_t>(middle) + 3},
      {"last line", static_cast<std::int64_t>(full.size()) - 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    FakeHost host = SampleHost();
    host.failReportAfter = c.failAfter;
    EXPECT_EQ(host.Run(), kNoReport);
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].text, std::string("The report file ") + kReportPath + " could not be written completely");
    EXPECT_EQ(host.notices[0].caption, "Report Not Written");
    EXPECT_EQ(host.notices[0].kind, NoticeKind::Warning);
    EXPECT_TRUE(host.viewed.empty());
    // What did reach the disk is the report's beginning, nothing else.
    EXPECT_EQ(host.Report(), full.substr(0, static_cast<std::size_t>(c.failAfter)));
    // The walk is not cut short: the failure is told once it is over.
    EXPECT_EQ(host.positions.size(), static_cast<std::size_t>(traces));
  }
}

TEST(ReportWriteFault, AReportThatFitsExactlyIsNoFault) {
  FakeHost clean = SampleHost();
  ASSERT_EQ(clean.Run(), kReportWritten);
  FakeHost host = SampleHost();
  host.failReportAfter = static_cast<std::int64_t>(clean.Report().size());
  EXPECT_EQ(host.Run(), kReportWritten);
  EXPECT_TRUE(host.notices.empty());
  EXPECT_EQ(host.viewed, std::vector<std::string>{kReportPath});
}

// A real full disk: a file-size limit makes the disk refuse the report's
// bytes past 4 KiB (a link to /dev/full no longer stands for one: a link at
// the report's name is replaced). The earlier report stays byte for byte
// and no temporary file is left.
TEST(ReportWriteFault, AFullDiskIsReportedThroughTheRealFiles) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("segd-full-disk-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path record = folder / "line1.segd";
  ASSERT_TRUE(writer::WriteRecordFile(writer::SampleShot(), record));
  const std::string earlier = "an earlier report\r\n";
  std::ofstream(folder / "Results.Txt", std::ios::binary) << earlier;

  FakeHost sinks;  // notices, progress and viewer; the files are real
  hardening::SelectEverything(sinks.selection);
  sinks.selection[kSelectViewReport] = 1;
  DiskFileAccess disk;
  ScanContext context{sinks, sinks.selection, sinks.fields, sinks, sinks, sinks, disk, folder.string(), '/'};
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit limited = old;
  limited.rlim_cur = 4096;
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limited);
  const std::int32_t result = DecodeFile(record.string(), context);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(result, kNoReport);
  ASSERT_EQ(sinks.notices.size(), 1u);
  // With the system's reason (EFBIG).
  EXPECT_EQ(sinks.notices[0].text, "The report file " + (folder / "Results.Txt").string() +
                                       " could not be written completely (" + SystemMessage(EFBIG) + ")");
  EXPECT_EQ(sinks.notices[0].caption, "Report Not Written");
  EXPECT_TRUE(sinks.viewed.empty());
  std::ifstream in(folder / "Results.Txt", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), earlier);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 2) << "only the record and the earlier report";
  fs::remove_all(folder);
}

}  // namespace
}  // namespace segd

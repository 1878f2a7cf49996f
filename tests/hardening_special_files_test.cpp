// Paths that name no regular file: a named pipe nobody writes to (or reads
// from, in the report's place), a device that never ends, a folder. Each is
// refused at once with its notice; none is waited on or read for ever.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "support/fake_host.h"
#include "tools/record_writer.h"
#include "tools/sample_shot.h"

namespace segd {
namespace {

namespace fs = std::filesystem;

std::int32_t ScanWithDisk(testing::FakeHost& host, const std::string& path) {
  DiskFileAccess disk;
  ScanContext context{host, host.selection, host.fields, host, host, host, disk, fs::temp_directory_path().string(), '/'};
  return DecodeFile(path, context);
}

TEST(SpecialFiles, ANamedPipeWithNoWriterIsRefusedWithoutWaiting) {
  const fs::path pipe = fs::temp_directory_path() / ("segd-pipe-" + std::to_string(::getpid()));
  fs::remove(pipe);
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  testing::FakeHost host;
  host.name = "never";
  auto scan = std::async(std::launch::async, [&] { return ScanWithDisk(host, pipe.string()); });
  const bool finished = scan.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  if (!finished) {
    // Let the blocked open through so that the test can end.
    const int writer = ::open(pipe.c_str(), O_WRONLY);
    if (writer >= 0) ::close(writer);
  }
  const std::int32_t result = scan.get();
  fs::remove(pipe);
  ASSERT_TRUE(finished) << "the scan waited for a writer to the pipe";
  EXPECT_EQ(result, kNoReport);
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].text, "Cannot open " + pipe.string() + " (Not a regular file)");
  EXPECT_EQ(host.notices[0].caption, "Open Failed");
  EXPECT_FALSE(fs::exists(fs::temp_directory_path() / "Never.Txt"));
}

// A named pipe where the report would go: no reader, so no report; the run
// says it cannot create the report instead of waiting for a reader.
TEST(SpecialFiles, ANamedPipeInTheReportsPlaceIsRefusedWithoutWaiting) {
  const fs::path folder = fs::temp_directory_path() / ("segd-report-pipe-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path record = folder / "line1.segd";
  ASSERT_TRUE(writer::WriteRecordFile(writer::ShotRecord({.auxTraces = 1, .receiverLines = 1, .channelsPerLine = 2, .samplesPerTrace = 4}), record));
  const fs::path pipe = folder / "Results.Txt";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);

  testing::FakeHost host;
  DiskFileAccess disk;
  ScanContext context{host, host.selection, host.fields, host, host, host, disk, folder.string(), '/'};
  auto scan = std::async(std::launch::async, [&] { return DecodeFile(record.string(), context); });
  const bool finished = scan.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  if (!finished) {
    // Read the pipe dry until the run ends, so that the test can end.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    char buffer[4096];
    while (scan.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
      if (reader >= 0) (void)!::read(reader, buffer, sizeof buffer);
    }
    if (reader >= 0) ::close(reader);
  }
  const std::int32_t result = scan.get();
  fs::remove_all(folder);
  ASSERT_TRUE(finished) << "the scan waited for a reader of the pipe";
  EXPECT_EQ(result, kNoReport);
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].text, "Cannot create the report file " + pipe.string() + " (Not a regular file)");
  EXPECT_EQ(host.notices[0].caption, "Report Not Written");
}

TEST(SpecialFiles, DevicesAndFoldersAreRefusedWithTheOpenNotice) {
  for (const auto& [path, reason] : {std::pair{"/dev/zero", "Not a regular file"}, std::pair{"/dev/null", "Not a regular file"},
                                     std::pair{"/", "Is a directory"}}) {
    SCOPED_TRACE(path);
    if (!fs::exists(path)) continue;
    testing::FakeHost host;
    host.name = "never";
    EXPECT_EQ(ScanWithDisk(host, path), kNoReport);
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].text, std::string("Cannot open ") + path + " (" + reason + ")");
  }
}

}  // namespace
}  // namespace segd

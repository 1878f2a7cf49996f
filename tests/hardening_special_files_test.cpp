// Paths that name no regular file: a named pipe nobody writes to, a device
// that never ends, a folder. Each is refused at once with the open notice;
// none is waited on or read for ever.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "support/fake_host.h"

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
  EXPECT_EQ(host.notices[0].text, "Cannot open " + pipe.string());
  EXPECT_EQ(host.notices[0].caption, "Open Failed");
  EXPECT_FALSE(fs::exists(fs::temp_directory_path() / "Never.Txt"));
}

TEST(SpecialFiles, DevicesAndFoldersAreRefusedWithTheOpenNotice) {
  for (const char* path : {"/dev/zero", "/dev/null", "/"}) {
    SCOPED_TRACE(path);
    if (!fs::exists(path)) continue;
    testing::FakeHost host;
    host.name = "never";
    EXPECT_EQ(ScanWithDisk(host, path), kNoReport);
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].text, std::string("Cannot open ") + path);
  }
}

}  // namespace
}  // namespace segd

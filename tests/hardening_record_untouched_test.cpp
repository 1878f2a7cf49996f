// The record file is only ever read: through the real files, every kind of
// run (report written, decoder failure, not an SN388, cut short, no output
// name, report not creatable, report named like the record, full disk)
// leaves its bytes, size and times as they were, and the scan holds it open
// for reading only.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "hardening_common.h"

namespace segd {
namespace {

namespace fs = std::filesystem;

struct FileState {
  std::vector<char> bytes;
  struct stat info {};
  bool operator==(const FileState& o) const {
    return bytes == o.bytes && info.st_size == o.info.st_size && info.st_ino == o.info.st_ino &&
           info.st_mode == o.info.st_mode && info.st_mtim.tv_sec == o.info.st_mtim.tv_sec &&
           info.st_mtim.tv_nsec == o.info.st_mtim.tv_nsec && info.st_ctim.tv_sec == o.info.st_ctim.tv_sec &&
           info.st_ctim.tv_nsec == o.info.st_ctim.tv_nsec;
  }
};

FileState StateOf(const fs::path& file) {
  FileState state;
  std::ifstream in(file, std::ios::binary);
  state.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  ::stat(file.c_str(), &state.info);
  return state;
}

// Looks at this process's open descriptors for the record: how often the
// record was seen open, and whether any descriptor of it could write.
class OpenModeProbe {
 public:
  explicit OpenModeProbe(fs::path record) : record_(fs::canonical(record)) {}
  int seenOpen = 0;
  bool seenWritable = false;

  void Look() {
    std::error_code error;
    for (const fs::directory_entry& fd : fs::directory_iterator("/proc/self/fd", error)) {
      std::error_code linkError;
      if (fs::read_symlink(fd.path(), linkError) != record_) continue;
      ++seenOpen;
      std::ifstream info("/proc/self/fdinfo/" + fd.path().filename().string());
      std::string key, value;
      while (info >> key >> value) {
        if (key != "flags:") continue;
        int flags = 0;
        std::from_chars(value.data(), value.data() + value.size(), flags, 8);
        if ((flags & O_ACCMODE) != O_RDONLY) seenWritable = true;
      }
    }
  }

 private:
  fs::path record_;
};

// Notices and progress go to the fake host, after a look at the open files.
class Probing final : public NoticeSink, public ProgressSink {
 public:
  Probing(testing::FakeHost& host, OpenModeProbe& probe) : host_(host), probe_(probe) {}
  void ShowNotice(std::string_view text, std::string_view caption, NoticeKind kind) override {
    probe_.Look();
    host_.ShowNotice(text, caption, kind);
  }
  void SetRange(std::int32_t lowest, std::int32_t highest) override {
    probe_.Look();
    host_.SetRange(lowest, highest);
  }
  void SetPosition(std::int32_t value) override { host_.SetPosition(value); }

 private:
  testing::FakeHost& host_;
  OpenModeProbe& probe_;
};

struct RunKind {
  const char* what;
  const char* record;  // file name in the folder
  std::string name;    // typed output name
  const char* reportFolder;  // under the folder; "" for the folder itself
  std::int32_t result;
};

TEST(RecordFile, NoKindOfRunModifiesTheRecordOrOpensItForWriting) {
  if (!fs::is_directory("/proc/self/fd")) GTEST_SKIP() << "no /proc/self/fd to see how the record is opened";
  const fs::path folder = fs::temp_directory_path() / ("segd-untouched-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder / "full");

  const auto& sample = hardening::Sample().bytes;
  auto write = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(folder / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    fs::permissions(folder / name, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  };
  write("line1.segd", sample);
  write("Results.Txt", sample);  // a record the report's name would land on
  write("cut.segd", std::vector<std::uint8_t>(sample.begin(), sample.begin() + 3000));
  std::vector<std::uint8_t> badFormat = sample;
  badFormat[2] = 0x12;
  badFormat[3] = 0x34;
  write("format1234.segd", badFormat);
  std::vector<std::uint8_t> otherModel = sample;
  otherModel[9] = 0x01;  // general constants 000000000001: an SN408UL
  write("sn408.segd", otherModel);
  const bool fullDisk = fs::exists("/dev/full");
  if (fullDisk) fs::create_symlink("/dev/full", folder / "full" / "Results.Txt");

  const RunKind kinds[] = {
      {"report written", "line1.segd", "results", "", kReportWritten},
      {"the same again, the report replaced", "line1.segd", "results", "", kReportWritten},
      {"decoder failure", "format1234.segd", "results", "", kNoReport},
      {"not an SN388", "sn408.segd", "results", "", kReportWritten},
      {"cut short", "cut.segd", "results", "", kReportWrittenRecordCut},
      {"no output name", "line1.segd", "   ", "", kNoReport},
      {"report folder missing", "line1.segd", "results", "missing", kNoReport},
      {"report named like the record", "Results.Txt", "results.txt", "", kNoReport},
      {"a link to /dev/full at the report's name, replaced", "line1.segd", "results", "full", kReportWritten},
  };
  for (const RunKind& kind : kinds) {
    SCOPED_TRACE(kind.what);
    if (std::string_view(kind.reportFolder) == "full" && !fullDisk) continue;
    const fs::path record = folder / kind.record;
    const FileState before = StateOf(record);
    ASSERT_FALSE(before.bytes.empty());

    testing::FakeHost host;
    host.name = kind.name;
    hardening::SelectEverything(host.selection);
    OpenModeProbe probe(record);
    Probing probing(host, probe);
    DiskFileAccess disk;
    ScanContext context{host, host.selection, host.fields, probing, probing, host, disk,
                        (folder / kind.reportFolder).string(), '/'};
    EXPECT_EQ(DecodeFile(record.string(), context), kind.result);

    EXPECT_TRUE(StateOf(record) == before) << "the record changed";
    EXPECT_GT(probe.seenOpen, 0) << "the record was never seen open";
    EXPECT_FALSE(probe.seenWritable) << "the record was open for writing";
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace segd

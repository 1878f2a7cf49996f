// The run's bounded resources: threads come from one budget of the cores,
// a job's exception reaches the caller (never std::terminate), a record job
// that runs out of memory fails its row alone, and the temporary-file table
// has no fixed size.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/batch_runner.h"
#include "scan/model/record_scan_makes.h"
#include "output/files/temp_file_registry.h"
#include "scan/io/thread_budget.h"
#include "tools/segd_record.h"

namespace segd {
namespace {

TEST(ThreadBudget, LeasesNeverExceedTheCoresAndComeBack) {
  const int cores = ThreadBudget();
  {
    ThreadLease all(cores + 100);
    EXPECT_EQ(all.Count(), cores);
    ThreadLease none(4);
    EXPECT_EQ(none.Count(), 0);  // a walk then stays on its caller's thread
    all.Keep(1);
    ThreadLease rest(4);
    EXPECT_EQ(rest.Count(), cores - 1);
  }
  ThreadLease again(cores);
  EXPECT_EQ(again.Count(), cores);
}

TEST(OrderedRun, AJobsExceptionReachesTheCallerAndEveryThreadEnds) {
  for (const unsigned jobs : {1u, 2u, 64u}) {
    app::OrderedRun<int> run;
    run.count = 50;
    run.jobs = jobs;
    std::vector<int> emitted;
    run.work = [](std::size_t i) -> int {
      if (i == 7) throw std::bad_alloc();
      return static_cast<int>(i);
    };
    run.emit = [&](std::size_t, int&& v) { emitted.push_back(v); };
    EXPECT_THROW(app::RunOrdered(run), std::bad_alloc) << jobs << " jobs";
    ASSERT_LE(emitted.size(), 7u);
    for (std::size_t i = 0; i < emitted.size(); ++i) EXPECT_EQ(emitted[i], static_cast<int>(i));
    ThreadLease back(ThreadBudget());  // every thread of the run was given back
    EXPECT_EQ(back.Count(), ThreadBudget());
  }
}

TEST(OrderedRun, RunsOnTheCallerWhenNoThreadIsFree) {
  ThreadLease all(ThreadBudget());
  app::OrderedRun<int> run;
  run.count = 5;
  run.jobs = 8;
  std::vector<int> emitted;
  run.work = [](std::size_t i) { return static_cast<int>(i * i); };
  run.emit = [&](std::size_t, int&& v) { emitted.push_back(v); };
  app::RunOrdered(run);
  EXPECT_EQ(emitted, (std::vector<int>{0, 1, 4, 9, 16}));
}

TEST(TempFileRegistry, HoldsAnyNumberOfFilesAndRemovesThemAll) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "segd_registry_test";
  std::filesystem::create_directories(folder);
  std::vector<std::unique_ptr<RegisteredTempFile>> files;
  for (int i = 0; i < 300; ++i) {  // far past the former 64 slots
    const std::string path = (folder / ("f" + std::to_string(i))).string();
    std::ofstream(path) << i;
    files.push_back(std::make_unique<RegisteredTempFile>(path));
  }
  files[5]->Release();  // moved to its name: not removed
  EXPECT_EQ(RegisteredTempFileCount(), 299);
  // The removal as a dying process does it (it forbids later creations, so
  // in a child of its own).
  const pid_t child = fork();
  if (child == 0) {
    RemoveRegisteredTempFiles();
    _exit(RegisteredTempFileCount());
  }
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"f5"});
  std::filesystem::remove_all(folder);
}

// A file cut by another program during the scan: from the first read at or
// after `trigger` (the first trace) on, it holds only `cut` bytes, and a read
// that finds the end lowers its size, as a file's does.
class ShrinkingSource final : public ByteSource {
 public:
  ShrinkingSource(std::vector<std::uint8_t> bytes, std::uint64_t trigger, std::uint64_t cut)
      : bytes_(std::move(bytes)), trigger_(trigger), cut_(cut), have_(bytes_.size()), size_(bytes_.size()) {}
  void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
    if (offset >= trigger_) have_ = cut_;
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = offset + i < have_ ? bytes_[offset + i] : 0;
    if (offset + out.size() > have_) size_ = std::min(size_, have_);
  }
  std::uint64_t Size() const override { return size_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint64_t trigger_, cut_, have_, size_;
};

struct PastEndCount : model::RecordConsumer {
  void Begin(const model::RecordHeaders&) override {}
  void Row(const model::TraceRow& row) override { pastEnd += row.pastEnd; }
  void End(const model::RecordHeaders&, const model::Integrity&, const std::vector<model::Notice>&) override {}
  int pastEnd = 0;
};

TEST(GeneralDecoder, AFileCutDuringTheScanHasItsLostTracesPastTheEnd) {
  const auto record = writer::general::PresetRecord(writer::general::Make::kOther, {2, 1}, 8058, 40, 100);
  const std::vector<std::uint8_t> bytes = writer::general::ComposeGeneral(record);
  const writer::general::GeneralLayout layout = writer::general::LayoutOfGeneral(record);
  const std::uint64_t traceBytes = (layout.tracesEnd - layout.headerBytes) / layout.traces;
  // Cut after the headers have been read, leaving the first ten traces.
  ShrinkingSource source(bytes, layout.headerBytes, layout.headerBytes + 10 * traceBytes);
  PastEndCount rows;
  const model::ScanResult result = model::ScanGenericRecord(source, "cut.segd", rows, {});
  EXPECT_EQ(rows.pastEnd, 30);
  EXPECT_EQ(result.integrity.tracesPastEnd, 30);
  EXPECT_LT(result.integrity.bytesAfterLastTrace, 0);
}

}  // namespace
}  // namespace segd

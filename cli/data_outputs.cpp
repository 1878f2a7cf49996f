#include "cli/data_outputs.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "cli/console.h"
#include "output/files/atomic_file.h"
#include "cli/options.h"

namespace segd::cli {

bool StdoutSink::Write(const char* data, std::size_t size) {
  errno = 0;
  const bool written = ok_ && WriteStdout(data, size);
  if (ok_ && !written) error_ = errno;
  ok_ = written;
  return ok_;
}

std::string StdoutSink::WhyFailed() const { return error_ != 0 ? SystemMessage(error_) : std::string(); }

struct DataOutputs::Output {
  std::string path;
  std::unique_ptr<ByteSink> sink;
  std::unique_ptr<output::RowWriter> writer;
  std::string_view what;
};

DataOutputs::DataOutputs(const Options& options, std::string record) : record_(std::move(record)) {
  for (const output::WriterKind& writer : output::Writers()) {
    if (writer.make == nullptr) continue;
    if (auto path = options.File(writer.name)) asked_.push_back({&writer, std::move(*path)});
  }
}

DataOutputs::~DataOutputs() = default;

void DataOutputs::Open(const Asked& asked) {
  const std::string& path = asked.path;
  const std::string what(asked.writer->what);
  auto output = std::make_unique<Output>();
  output->path = path;
  output->what = asked.writer->what;
  std::error_code ec;
  const auto type = std::filesystem::status(path, ec).type();
  const bool device = !ec && type != std::filesystem::file_type::regular && type != std::filesystem::file_type::directory &&
                      type != std::filesystem::file_type::not_found;
  if (path == kStandardOutput) {
    output->sink = std::make_unique<StdoutSink>();
  } else if (device) {
    // /dev/null, a FIFO, /dev/fd/N: written in place, as a shell redirection
    // would; a device that refuses the bytes (/dev/full) fails the run.
    std::string reason;
    // A FIFO is waited on until its reader comes, as a shell's redirection
    // waits; the sink's own open then finds the reader there.
    std::FILE* waitForReader = type == std::filesystem::file_type::fifo ? std::fopen(path.c_str(), "wb") : nullptr;
    output->sink = CreateAtomicFileSink(path, reason);
    if (waitForReader) std::fclose(waitForReader);
    if (!output->sink) {
      failures_.push_back("Cannot create the " + std::string(what) + " file " + path + (reason.empty() ? "" : " (" + reason + ")"));
      return;
    }
  } else {
    DiskFileAccess disk;  // written whole or not at all; never over the record
    output->sink = disk.CreateReport(path, record_);
    if (!output->sink) {
      const std::string reason = disk.FailureReason();
      failures_.push_back("Cannot create the " + std::string(what) + " file " + path +
                          (reason.empty() ? "" : " (" + reason + ")"));
      return;
    }
  }
  output->writer = asked.writer->make(*output->sink);
  outputs_.push_back(std::move(output));
}

void DataOutputs::Begin(const model::RecordHeaders& headers) {
  begun_ = true;
  for (const Asked& asked : asked_) Open(asked);
  for (auto& output : outputs_) output->writer->Begin(headers);
}

void DataOutputs::Row(const model::TraceRow& row) {
  for (auto& output : outputs_) output->writer->Row(row);
}

void DataOutputs::AppendRowText(std::size_t which, const model::TraceRow& row, std::string& out) const {
  outputs_[which]->writer->AppendRowText(0, row, out);
}

void DataOutputs::TakeRowText(std::size_t which, std::string_view text) {
  outputs_[which]->writer->TakeRowText(0, text);
}

void DataOutputs::End(const model::RecordHeaders& headers, const model::Integrity& integrity,
                      const std::vector<model::Notice>& notices) {
  for (auto& output : outputs_) output->writer->End(headers, integrity, notices);
}

bool DataOutputs::Finish(NoticeSink& notices) {
  bool ok = begun_ && failures_.empty();
  for (auto& output : outputs_) {
    if (output->writer->Finish()) continue;
    ok = false;
    const std::string where = output->path == kStandardOutput ? "standard output" : "file " + output->path;
    const std::string reason = output->sink->WhyFailed();
    failures_.push_back("The " + std::string(output->what) + " " + where + " could not be written completely" +
                        (reason.empty() ? "" : " (" + reason + ")"));
  }
  outputs_.clear();
  for (const std::string& failure : failures_) notices.ShowNotice(failure, "Output Not Written", NoticeKind::Warning);
  failures_.clear();
  return ok;
}

}  // namespace segd::cli

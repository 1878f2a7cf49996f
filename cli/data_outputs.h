#pragma once
// The command line's data outputs: the trace table as CSV and the record as
// JSON, each to a file (written whole or not at all) or to standard output,
// fed by one walk of the record; and the report's bytes to standard output
// for --output -.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "output/report/decode_file.h"
#include "output/writers.h"
#include "scan/model/record_model.h"
#include "scan/model/row_texts.h"

namespace segd::cli {

// "-" as a file name: standard output.
inline constexpr std::string_view kStandardOutput = "-";

// Standard output as a sink; Close reports whether every byte went out.
class StdoutSink final : public ByteSink {
 public:
  bool Write(const char* data, std::size_t size) override;
  bool Close() override { return ok_; }
  std::string WhyFailed() const override;

 private:
  bool ok_ = true;
  int error_ = 0;
};

// The disk, except that the report goes to standard output when asked.
class ReportToStdout final : public FileAccess {
 public:
  explicit ReportToStdout(FileAccess& disk) : disk_(disk) {}
  std::unique_ptr<ByteSource> OpenRecord(const std::string& path) override { return disk_.OpenRecord(path); }
  std::unique_ptr<ByteSink> CreateReport(const std::string&, const std::string&) override {
    return std::make_unique<StdoutSink>();
  }
  std::string FailureReason() const override { return disk_.FailureReason(); }
  std::string ReportDescription(const std::string&) const override { return "report on standard output"; }

 private:
  FileAccess& disk_;
};

struct Options;

// The registry's writers of trace rows asked for (--csv, --json;
// output/writers.h) behind one consumer, fed by one walk. Their files are
// created when the walk begins, so a record that does not decode leaves no
// file behind.
class DataOutputs final : public model::RecordConsumer, public model::RowTexts {
 public:
  DataOutputs(const Options& options, std::string record);
  ~DataOutputs() override;

  bool Any() const { return !asked_.empty(); }
  void Begin(const model::RecordHeaders& headers) override;
  void Row(const model::TraceRow& row) override;
  void End(const model::RecordHeaders& headers, const model::Integrity& integrity,
           const std::vector<model::Notice>& notices) override;

  // One text per output opened, made by its writer.
  std::size_t RowTextCount() const override { return outputs_.size(); }
  void AppendRowText(std::size_t which, const model::TraceRow& row, std::string& out) const override;
  void TakeRowText(std::size_t which, std::string_view text) override;

  // Finishes every output; shows a notice for each one not written whole and
  // returns false then (also when the walk never began).
  bool Finish(NoticeSink& notices);

 private:
  struct Output;
  struct Asked {
    const output::WriterKind* writer;
    std::string path;
  };
  void Open(const Asked& asked);

  std::vector<Asked> asked_;
  std::string record_;
  bool begun_ = false;
  std::vector<std::unique_ptr<Output>> outputs_;
  std::vector<std::string> failures_;
};

}  // namespace segd::cli

#pragma once
// A record's export: the samples walk (scan/samples/trace_samples.h) hands
// each trace here; its header values come through ExportFieldMap and go to
// the SEG-Y and miniSEED writers, one trace at a time. The SEG-Y file
// headers are written when the first trace comes, since the textual header
// states the time zero that trace carries.
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "output/export_fields.h"
#include "output/mseed_writer.h"
#include "output/segy_writer.h"
#include "scan/samples/trace_samples.h"

namespace segd::output {

class RecordExport final : public samples::TraceSampleConsumer {
 public:
  // Either sink may be null (that format not written). miniSEED needs a
  // build with libmseed (SEGD_HAVE_MSEED); without it asking fails.
  RecordExport(ByteSink* segy, SegyOptions segyOptions, ByteSink* mseed, MseedOptions mseedOptions,
               std::string toolVersion);
  ~RecordExport() override;

  void Begin(const samples::SampleRecord& record) override;
  void Trace(const samples::TraceSamples& trace) override;
  void End(const model::RecordHeaders&, const model::Integrity&, const std::vector<model::Notice>&) override;

  // Set when an export fails: give it to the walk's options.scan.cancel so
  // that the walk stops.
  const std::atomic<bool>* Stop() const { return &stop_; }
  // When `*interrupt` becomes true the export stops and fails.
  void StopWhen(const std::atomic<bool>* interrupt) { interrupt_ = interrupt; }
  // The first failure's reason; empty when every trace was written.
  const std::string& Error() const { return error_; }
  // Finishes both writers (closing their sinks); false when anything failed.
  bool Finish();

 private:
  void Fail(std::string reason);
  void BeginSegy(const std::optional<StartTime>& timeZero);

  ByteSink* segySink_;
  ByteSink* mseedSink_;
  SegyOptions segyOptions_;
  MseedOptions mseedOptions_;
  std::optional<SegyWriter> segy_;
  struct Mseed;
  std::unique_ptr<Mseed> mseed_;
  std::optional<ExportFieldMap> fields_;
  ExportRecord record_;
  const model::RecordHeaders* headers_ = nullptr;
  std::optional<std::size_t> deadColumn_;
  bool segyBegun_ = false;
  std::atomic<bool> stop_{false};
  const std::atomic<bool>* interrupt_ = nullptr;
  std::string error_;
};

}  // namespace segd::output

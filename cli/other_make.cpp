#include "cli/other_make.h"

#include <atomic>

#include "scan/model/record_scan.h"

namespace segd::cli {

namespace {

// Keeps the headers and stops the walk before its first trace.
class HeadersOnly final : public model::RecordConsumer {
 public:
  void Begin(const model::RecordHeaders& headers) override {
    manufacturer = headers.manufacturer;
    manufacturerCode = headers.manufacturerCode;
    revision = headers.revision;
    sn388 = IsSn388(headers);
    begun = true;
    stop.store(true);
  }
  void Row(const model::TraceRow&) override {}
  void End(const model::RecordHeaders&, const model::Integrity&, const std::vector<model::Notice>&) override {}

  std::string manufacturer;
  std::int32_t manufacturerCode = -1;
  std::optional<std::string> revision;
  bool sn388 = false;
  bool begun = false;
  std::atomic<bool> stop{false};

 private:
  static bool IsSn388(const model::RecordHeaders& headers) { return headers.make == "sn388"; }
};

}  // namespace

std::optional<std::string> OtherMakeNotice(const std::string& path) {
  HeadersOnly headers;
  model::ScanOptions options;
  options.cancel = &headers.stop;
  model::ScanRecordFile(path, headers, options);
  if (!headers.begun || headers.sn388) return std::nullopt;
  std::string make = headers.manufacturer.empty() ? "manufacturer code " + std::to_string(headers.manufacturerCode)
                                                  : headers.manufacturer;
  std::string text = "this record was written by " + make;
  if (headers.revision) text += " (SEG-D revision " + *headers.revision + ")";
  return text + ", not by an SN388 recorder: the text report lists SN388 records only; --csv, --json and --summary read it";
}

}  // namespace segd::cli

// The general decoder's walk on both cores gives what its walk on one
// thread gives: the same rows, CSV and JSON bytes (the JSON holds the
// notices and the integrity), samples per channel set and status, however
// the traces fall into batches.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <numeric>
#include <stdexcept>

#include "output/csv_writer.h"
#include "output/json_writer.h"
#include "scan/model/record_scan_makes.h"
#include "output/report/report_writer.h"
#include "tools/segd_record.h"

namespace segd {
namespace {

using namespace writer::general;

// Every row as text, and the samples per channel set the walk leaves.
class RowValues final : public model::RecordConsumer {
 public:
  std::string text;
  std::size_t rows = 0;
  std::atomic<bool>* stopAfterFirstRow = nullptr;
  void Begin(const model::RecordHeaders&) override {}
  void Row(const model::TraceRow& row) override {
    text += std::to_string(row.trace) + ' ' + std::to_string(row.byteOffset) + (row.pastEnd ? '+' : '-');
    for (const model::Value& v : row.values) text += std::to_string(static_cast<int>(v.kind)) + v.text + ',';
    text += '\n';
    if (++rows == 1 && stopAfterFirstRow) stopAfterFirstRow->store(true);
  }
  void End(const model::RecordHeaders& headers, const model::Integrity&, const std::vector<model::Notice>&) override {
    for (std::int64_t samples : headers.samplesPerTrace) text += std::to_string(samples) + ' ';
  }
};

std::string Scan(const writer::Bytes& bytes, const TraceBatchOptions& batching) {
  MemoryByteSource source(bytes);
  RowValues rows;
  MemoryByteSink csvBytes, jsonBytes;
  output::CsvWriter csv(csvBytes);
  output::JsonWriter json(jsonBytes);
  const auto status = model::ScanGenericRecord(source, "walk.segd", rows, {}, batching).status;
  model::ScanGenericRecord(source, "walk.segd", csv, {}, batching);
  model::ScanGenericRecord(source, "walk.segd", json, {}, batching);
  EXPECT_TRUE(csv.Finish() && json.Finish());
  return std::to_string(static_cast<int>(status)) + rows.text + csvBytes.Text() + jsonBytes.Text();
}

void ForEachSet(GeneralRecord& r, const std::function<void(ChannelSet&)>& change) {
  for (ScanType& t : r.scanTypes)
    for (ChannelSet& s : t.sets) change(s);
}

TEST(GenericWalkBatches, GiveTheRowsTextsNoticesAndIntegrityOfTheOneThreadWalk) {
  struct Case {
    const char* what;
    Make make;
    Revision rev;
    double keep;  // of the record's bytes
    std::function<void(GeneralRecord&)> change;
  };
  const Case cases[] = {
      {"whole", Make::kOther, {2, 1}, 1.0, [](GeneralRecord&) {}},
      {"cut short inside the traces", Make::kSercel, {1, 0}, 0.6, [](GeneralRecord&) {}},
      {"extension counts 0 to 3 from channel set to channel set, padded", Make::kFairfield, {3, 0}, 1.0,
       [](GeneralRecord& r) {
         int n = 0;
         ForEachSet(r, [&n](ChannelSet& s) { s.extensions = n++ % 4; });
         r.padBytes = 100;
       }},
      {"extension count only in the descriptor, a trailer, escapes", Make::kSmartSolo, {3, 1}, 1.0,
       [](GeneralRecord& r) {
         ForEachSet(r, [](ChannelSet& s) { s.extensionCountInTrace = false; });
         r.trailerBlocks = 2;
         r.escapes = Escapes::All();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GeneralRecord r = PresetRecord(c.make, c.rev, 8058, 3000, 17);
    c.change(r);
    writer::Bytes bytes = ComposeGeneral(r);
    bytes.resize(static_cast<std::size_t>(static_cast<double>(bytes.size()) * c.keep));
    const std::string one = Scan(bytes, {512, 2048, 0});
    EXPECT_GT(one.size(), 300000u);
    EXPECT_TRUE(one == Scan(bytes, {}));
    EXPECT_TRUE(one == Scan(bytes, {7, 1, 2}));
  }
}

// A cancel on both cores takes effect between batches: the rows handed on
// are the traces listed.
TEST(GenericWalkBatches, ACancelEndsTheWalkAfterAWholeBatch) {
  const writer::Bytes bytes = ComposeGeneral(PresetRecord(Make::kOther, {2, 1}, 8058, 3000, 17));
  MemoryByteSource source(bytes);
  std::atomic<bool> cancel{false};
  RowValues rows;
  rows.stopAfterFirstRow = &cancel;
  model::ScanOptions options;
  options.cancel = &cancel;
  const model::ScanResult result = model::ScanGenericRecord(source, "walk.segd", rows, options, {100, 1, 2});
  EXPECT_EQ(result.status, model::ScanStatus::Cancelled);
  EXPECT_EQ(result.integrity.tracesListed, 100);
  EXPECT_EQ(rows.rows, 100u);
}

// A worker's exception reaches the calling thread, after the batches before
// it, in order.
TEST(GenericWalkBatches, AWorkersExceptionIsThrownOnTheCallingThread) {
  std::vector<std::int64_t> delivered;
  BatchSteps steps;
  steps.batches = 40;
  steps.make = [](std::int64_t b, std::size_t, int) {
    if (b == 25) throw std::runtime_error("batch 25");
  };
  steps.deliver = [&delivered](std::int64_t b, std::size_t) { return delivered.push_back(b), true; };
  EXPECT_THROW(RunBatchSteps(steps, 2), std::runtime_error);
  std::vector<std::int64_t> before(25);
  std::iota(before.begin(), before.end(), 0);
  EXPECT_EQ(delivered, before);
}

}  // namespace
}  // namespace segd

#include "output/writers.h"

#include "output/csv_writer.h"
#include "output/json_writer.h"

namespace segd::output {
namespace {

// A row writer as the registry hands it out.
template <class W>
class Registered final : public RowWriter {
 public:
  explicit Registered(ByteSink& sink) : writer_(sink) {}
  void Begin(const model::RecordHeaders& headers) override { writer_.Begin(headers); }
  void Row(const model::TraceRow& row) override { writer_.Row(row); }
  void End(const model::RecordHeaders& headers, const model::Integrity& integrity,
           const std::vector<model::Notice>& notices) override {
    writer_.End(headers, integrity, notices);
  }
  std::vector<bool> ColumnsRead(const model::RecordHeaders& headers) const override {
    return writer_.ColumnsRead(headers);
  }
  std::size_t RowTextCount() const override { return writer_.RowTextCount(); }
  void AppendRowText(std::size_t which, const model::TraceRow& row, std::string& out) const override {
    writer_.AppendRowText(which, row, out);
  }
  void TakeRowText(std::size_t which, std::string_view text) override { writer_.TakeRowText(which, text); }
  bool Finish() override { return writer_.Finish(); }

 private:
  W writer_;
};

template <class W>
std::unique_ptr<RowWriter> Make(ByteSink& sink) {
  return std::make_unique<Registered<W>>(sink);
}

#ifdef SEGD_HAVE_MSEED
constexpr bool kMseedBuilt = true;
#else
constexpr bool kMseedBuilt = false;
#endif

constexpr WriterNeeds Headers = WriterNeeds::Headers, TraceRows = WriterNeeds::TraceRows,
                      Samples = WriterNeeds::Samples;
// name, what, option, batch option, extension, sidecar, needs, "-", built, factory
constexpr WriterKind kWriters[] = {
    {"csv", "CSV", "--csv", "--csv-dir", ".csv", "", TraceRows, true, true, &Make<CsvWriter>},
    {"json", "JSON", "--json", "--json-dir", ".json", "", TraceRows, true, true, &Make<JsonWriter>},
    {"report", "text report", "--output", "--report-dir", ".txt", "", Headers, true, true, nullptr},
    {"samples", "samples", "--samples", "--samples-dir", ".f32", ".json", Samples, false, true, nullptr},
    {"segy", "SEG-Y", "--segy", "--segy-dir", ".sgy", "", Samples, true, true, nullptr},
    {"mseed", "miniSEED", "--mseed", "--mseed-dir", ".mseed", "", Samples, true, kMseedBuilt, nullptr},
};

}  // namespace

std::span<const WriterKind> Writers() { return kWriters; }

const WriterKind* FindWriter(std::string_view name) {
  for (const WriterKind& kind : kWriters) {
    if (kind.name == name) return &kind;
  }
  return nullptr;
}

}  // namespace segd::output

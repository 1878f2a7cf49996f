#include "app/summary.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iterator>

#include "app/record_time.h"
#include "output/text_encoding.h"

namespace segd::app {

namespace {

using T = CellType;

// Trace error flags are counted under their trace column's data name; a
// make's flag outside this list is counted in other_flags instead, so the
// header never depends on the records.
constexpr SummaryColumn kColumns[] = {
    {"path"},
    {"size_bytes", T::Number},
    {"status"},
    {"problems"},
    {"trace_findings"},  // "dead_traces: 12-15, 220; sn388_overscale_error: 3"
    {"file_number", T::Number},
    {"date"},
    {"time"},
    {"gps_time"},  // the record's own GPS time (time zero or time break) as ISO 8601 UTC
    {"manufacturer"},
    {"revision"},
    {"format_code", T::Number},
    {"sample_interval_ms", T::Number},
    {"record_length_ms", T::Number},
    {"channel_sets", T::Number},
    {"channel_set_layout"},
    {"traces_announced", T::Number},
    {"traces_listed", T::Number},
    {"traces_past_end", T::Number, false, true},
    {"auxiliary_traces", T::Number},
    {"seismic_traces", T::Number},
    {"dead_traces", T::Number, false, true},
    // SN388 trace header extension 1 byte 19, one bit each.
    {"sn388_ipls_error", T::Number, true, true},
    {"sn388_impedance_error", T::Number, true, true},
    {"sn388_dead", T::Number, true},  // the same traces as dead_traces
    {"sn388_underrun_error", T::Number, true, true},
    {"sn388_overrun_error", T::Number, true, true},
    {"sn388_overscale_error", T::Number, true, true},
    {"sn388_data_error", T::Number, true, true},
    {"sn388_sync_error", T::Number, true, true},
    // Flags of other makes' trace header extensions.
    {"sercel_resistance_error", T::Number, true, true},
    {"sercel_tilt_error", T::Number, true, true},
    {"sercel_capacitance_error", T::Number, true, true},
    {"sercel_cutoff_error", T::Number, true, true},
    {"sercel_leakage_error", T::Number, true, true},
    {"sercel_data_error", T::Number, true, true},
    {"fairfield_trace_flag", T::Number, true, true},
    {"other_flags"},
    {"source_line", T::Number},
    {"source_point", T::Number},
    {"source_x", T::Number},
    {"source_y", T::Number},
    {"source_elevation", T::Number},
    {"start_time_utc"},
    {"start_time_source"},
    {"notices"},
};

// Record-level facts copied from the model's summary block when the make
// holds them: {summary column, the summary block's data name}.
struct FromSummary {
  std::string_view column;
  std::string_view field;
};
constexpr FromSummary kFromSummaryBlock[] = {
    {"date", "date"},
    {"time", "time"},
    {"sample_interval_ms", "sample_interval_ms"},
    {"record_length_ms", "record_length_ms"},
    {"auxiliary_traces", "auxiliary_traces"},
    {"seismic_traces", "seismic_traces"},
    {"source_line", "source_line"},
    {"source_point", "source_point"},
    {"source_x", "source_x"},
    {"source_y", "source_y"},
    {"source_elevation", "source_elevation"}};

const std::string kEmpty;

std::string FromRecord(std::string_view bytes) {
  std::string out;
  output::AppendRecordText(out, bytes);
  return out;
}

std::string FromHost(std::string_view text) {
  std::string out;
  output::AppendHostText(out, text);
  return out;
}

// A trace edit code (trace header byte 12) says dead with 2, the code the
// recorders write for a dead trace; other codes are edits, not deaths.
bool IsDead(const model::Value& value) {
  switch (value.kind) {
    case model::Value::Kind::Number: return value.number == 2;
    case model::Value::Kind::Text: return value.text == "Yes" || value.text == "Dead";
    case model::Value::Kind::Bool: return value.flag;
    case model::Value::Kind::Null: return false;
  }
  return false;
}

bool IsSet(const model::Value& value) {
  switch (value.kind) {
    case model::Value::Kind::Bool: return value.flag;
    case model::Value::Kind::Number: return value.number != 0;
    case model::Value::Kind::Text: return value.text == "Yes" || value.text == "yes" || value.text == "true";
    case model::Value::Kind::Null: return false;
  }
  return false;
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& t : texts) {
    if (!out.empty()) out += "; ";
    out += t;
  }
  return out;
}

// A rev 3 record's time zero (general header block 3) or a SmartSolo
// record's time break (external header), both µs since the GPS epoch.
std::string GpsTime(const model::RecordHeaders& h) {
  const model::Field* field = h.externalHeader.Find("time_break_gps_us");
  for (const model::Block& block : h.generalHeaders) {
    if (!field) field = block.Find("time_zero_us");
  }
  std::uint64_t micros = 0;
  if (!field) return "";
  const std::string& text = field->value.text;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), micros);
  if (r.ec != std::errc() || micros == 0) return "";
  return IsoUtc(UnixMicrosOfGps(micros));
}

}  // namespace

std::span<const SummaryColumn> SummaryColumns() { return kColumns; }

int SummaryColumnIndex(std::string_view name) {
  for (std::size_t i = 0; i < std::size(kColumns); ++i) {
    if (kColumns[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

const std::string& SummaryRow::Get(std::string_view column) const {
  const int i = SummaryColumnIndex(column);
  return i < 0 ? kEmpty : cells[static_cast<std::size_t>(i)];
}

void SummaryRow::Set(std::string_view column, std::string value) {
  const int i = SummaryColumnIndex(column);
  if (i >= 0) cells[static_cast<std::size_t>(i)] = std::move(value);
}

namespace {

// The length of the valid UTF-8 sequence at `i` (0 when there is none).
std::size_t Utf8Length(std::string_view t, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(t[k]); };
  const unsigned char lead = byte(i);
  const std::size_t n = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                          : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (n == 0 || i + n > t.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  }
  // Overlong forms, surrogates and code points past U+10FFFF.
  if (n == 3 && ((lead == 0xE0 && byte(i + 1) < 0xA0) || (lead == 0xED && byte(i + 1) >= 0xA0))) return 0;
  if (n == 4 && ((lead == 0xF0 && byte(i + 1) < 0x90) || (lead == 0xF4 && byte(i + 1) >= 0x90))) return 0;
  return n;
}

void AppendHex(std::string& out, unsigned char c) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\x";
  out += kHex[c >> 4];
  out += kHex[c & 15];
}

}  // namespace

std::string PathText(std::string_view path) {
  std::string out;
  for (std::size_t i = 0; i < path.size();) {
    const auto c = static_cast<unsigned char>(path[i]);
    const std::size_t n = Utf8Length(path, i);
    if (n == 0 || c < 0x20 || c == 0x7F) {
      AppendHex(out, c);
      ++i;
#ifndef _WIN32
    } else if (c == '\\') {
      out += "\\\\";
      ++i;
#endif
    } else {
      out.append(path.substr(i, n));
      i += n;
    }
  }
  return out;
}

std::string PrintableLine(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) {
      AppendHex(out, b);
    } else {
      out += c;
    }
  }
  return out;
}

RecordStatus StatusOf(const SummaryRow& row) {
  const std::string& s = row.Get("status");
  return s == "ok" ? RecordStatus::Ok : s == "warning" ? RecordStatus::Warning : RecordStatus::Failed;
}

void SummaryConsumer::Begin(const model::RecordHeaders& h) {
  begun_ = true;
  row_.Set("size_bytes", std::to_string(h.sizeBytes));
  row_.Set("file_number", FromRecord(h.fileNumber.text));
  row_.Set("manufacturer", FromHost(h.manufacturer));
  row_.Set("revision", h.revision.value_or(""));
  if (h.formatCode >= 0) row_.Set("format_code", std::to_string(h.formatCode));
  for (const FromSummary& from : kFromSummaryBlock) {
    if (const model::Field* f = h.summary.Find(from.field)) row_.Set(from.column, FromRecord(f->value.text));
  }
  row_.Set("start_time_utc", h.startTimeUtc.text);
  row_.Set("start_time_source", h.startTimeSource.text);
  const model::Field* sets = h.summary.Find("channel_sets");
  row_.Set("channel_sets", sets ? sets->value.text : std::to_string(h.channelSets.size()));
  samplesPerTrace_ = h.samplesPerTrace;
  row_.Set("gps_time", GpsTime(h));
  // The layout the descriptors announce, when each names its set and
  // channels; otherwise the one the walk finds.
  // A record with more descriptors than are listed gives its layout from the walk.
  descriptorLayout_ = !h.channelSets.empty() && (!sets || sets->value.number <= static_cast<double>(h.channelSets.size()));
  for (const model::Block& set : h.channelSets) {
    const model::Field* number = set.Find("channel_set");
    const model::Field* channels = set.Find("channels");
    if (!number || !channels) {
      descriptorLayout_ = false;
      setTraces_.clear();
      break;
    }
    if (channels->value.number != 0) setTraces_.emplace_back(number->value.text, static_cast<std::int64_t>(channels->value.number));
  }

  flagCounts_.assign(h.traceColumns.size(), 0);
  for (std::size_t i = 0; i < h.traceColumns.size(); ++i) {
    const model::Column& c = h.traceColumns[i];
    if (c.dead) deadColumn_ = static_cast<int>(i);
    if (c.name == "channel_set") channelSetColumn_ = static_cast<int>(i);
    if (!c.flag) continue;
    const int summary = SummaryColumnIndex(c.name);
    flagColumns_.emplace_back(i, summary >= 0 && kColumns[summary].flagCount ? summary : -1);
  }
  // One finding kind per column that says a trace is dead or in error; a
  // flag that is the dead column itself is listed once, as dead_traces.
  if (deadColumn_ >= 0) findings_.push_back({"dead_traces", deadColumn_, {}});
  for (const auto& [traceColumn, summaryColumn] : flagColumns_) {
    if (static_cast<int>(traceColumn) != deadColumn_) {
      findings_.push_back({h.traceColumns[traceColumn].name, static_cast<int>(traceColumn), {}});
    }
  }
  findings_.push_back({"traces_past_end", -1, {}});
}

void SummaryConsumer::Row(const model::TraceRow& row) {
  ++traces_;
  const auto has = [&](int column) { return column >= 0 && static_cast<std::size_t>(column) < row.values.size(); };
  if (has(deadColumn_) && IsDead(row.values[static_cast<std::size_t>(deadColumn_)])) ++dead_;
  for (Finding& f : findings_) {
    const bool found = f.traceColumn < 0 ? row.pastEnd
                       : f.traceColumn == deadColumn_
                           ? !row.pastEnd && has(f.traceColumn) && IsDead(row.values[static_cast<std::size_t>(f.traceColumn)])
                           : !row.pastEnd && has(f.traceColumn) && IsSet(row.values[static_cast<std::size_t>(f.traceColumn)]);
    if (found) f.traces.Add(row.trace);
  }
  if (has(channelSetColumn_)) {
    const std::string& set = row.values[static_cast<std::size_t>(channelSetColumn_)].text;
    auto it = std::find_if(walkedPerSet_.begin(), walkedPerSet_.end(), [&](const auto& p) { return p.first == set; });
    if (it == walkedPerSet_.end()) {
      // Bounded like setTraces_: a damaged record hopping between many sets
      // is told by its first few.
      if (walkedPerSet_.size() < 64) walkedPerSet_.emplace_back(set, 1);
    } else {
      ++it->second;
    }
  }
  for (const auto& [traceColumn, summaryColumn] : flagColumns_) {
    if (traceColumn < row.values.size() && IsSet(row.values[traceColumn])) ++flagCounts_[traceColumn];
  }
  if (!descriptorLayout_ && !row.pastEnd && has(channelSetColumn_)) {
    const std::string& set = row.values[static_cast<std::size_t>(channelSetColumn_)].text;
    // Keyed by channel set, so a damaged record that hops between sets
    // cannot grow this past the number of sets.
    // A hash lookup: a record naming many sets stays linear in its traces.
    const auto [it, added] = setIndex_.try_emplace(set, setTraces_.size());
    if (added) {
      setTraces_.emplace_back(set, 1);
    } else {
      ++setTraces_[it->second].second;
    }
  }
}

std::vector<bool> SummaryConsumer::ColumnsRead(const model::RecordHeaders& headers) const {
  std::vector<bool> read(headers.traceColumns.size(), false);
  const auto mark = [&read](std::size_t column) {
    if (column < read.size()) read[column] = true;
  };
  if (deadColumn_ >= 0) mark(static_cast<std::size_t>(deadColumn_));
  if (channelSetColumn_ >= 0) mark(static_cast<std::size_t>(channelSetColumn_));
  for (const auto& [traceColumn, summaryColumn] : flagColumns_) mark(traceColumn);
  return read;
}

void SummaryConsumer::End(const model::RecordHeaders& h, const model::Integrity& integrity,
                          const std::vector<model::Notice>&) {
  if (integrity.tracesAnnounced) row_.Set("traces_announced", std::to_string(*integrity.tracesAnnounced));
  row_.Set("traces_listed", std::to_string(integrity.tracesListed));
  row_.Set("traces_past_end", std::to_string(integrity.tracesPastEnd));
  row_.Set("dead_traces", deadColumn_ >= 0 ? std::to_string(dead_) : "");
  std::string other;
  for (const auto& [traceColumn, summaryColumn] : flagColumns_) {
    const std::string count = std::to_string(flagCounts_[traceColumn]);
    if (summaryColumn >= 0) {
      row_.cells[static_cast<std::size_t>(summaryColumn)] = count;
    } else {
      if (!other.empty()) other += "; ";
      other += h.traceColumns[traceColumn].name + "=" + count;
    }
  }
  row_.Set("other_flags", other);
  // "set:traces" per channel set in record order, with "xSAMPLES" when the
  // walk gave one sample count per set.
  std::string layout;
  const bool samples = samplesPerTrace_.size() == setTraces_.size();
  for (std::size_t i = 0; i < setTraces_.size(); ++i) {
    if (!layout.empty()) layout += ' ';
    layout += setTraces_[i].first + ":" + std::to_string(setTraces_[i].second);
    if (samples) layout.append("x").append(std::to_string(samplesPerTrace_[i]));
  }
  row_.Set("channel_set_layout", layout);
  // The descriptors' trace counts against the traces the walk found in
  // each set (past-end traces included: they are announced and listed).
  // A record cut short is told by its traces past the end instead.
  if (descriptorLayout_ && integrity.tracesPastEnd == 0) {
    for (const auto& [set, announced] : setTraces_) {
      const std::string& name = set;  // a structured binding cannot be captured by clang 14
      auto it = std::find_if(walkedPerSet_.begin(), walkedPerSet_.end(), [&](const auto& p) { return p.first == name; });
      const std::int64_t walked = it == walkedPerSet_.end() ? 0 : it->second;
      if (walked != announced) {
        setProblems_.push_back("channel set " + set + ": " + std::to_string(announced) + " traces announced, " +
                               std::to_string(walked) + " walked");
      }
    }
  }
}

SummaryRow SummaryConsumer::Finish(const std::string& path, const model::ScanResult& result) {
  using model::ScanStatus;
  row_.Set("path", PathText(path));
  std::error_code sizeError;
  const auto size = std::filesystem::file_size(path, sizeError);
  if (row_.Get("size_bytes").empty() && !sizeError) row_.Set("size_bytes", std::to_string(size));
  std::vector<std::string> notices;
  for (const model::Notice& n : result.notices) {
    notices.push_back(FromHost(n.caption.empty() ? n.text : n.caption + ": " + n.text));
  }
  row_.Set("notices", Joined(notices));
  std::vector<std::string> problems;
  for (const std::string& p : result.integrity.problems) problems.push_back(FromHost(p));
  for (const std::string& p : setProblems_) problems.push_back(p);
  std::vector<std::string> traceFindings;
  bool findingsOver = false;
  static const Allowance kNone;
  for (const Finding& f : findings_) {
    if (f.traces.Count() == 0) continue;
    traceFindings.push_back(f.column + ": " + f.traces.Text());
    findingsOver = findingsOver || OverAllowance(allowance_ ? *allowance_ : kNone, f.column, f.traces.Count(), traces_);
  }
  row_.Set("trace_findings", Joined(traceFindings));
  const bool decoded = begun_ && (result.status == ScanStatus::Ok || result.status == ScanStatus::Findings);
  if (!decoded) {
    // Said as a person looking at the folder would: what a failed transfer
    // leaves, a file of something else, a file the run may not read.
    if (result.status == ScanStatus::CannotOpen) {
      problems.push_back("cannot open: " + FromHost(result.openFailure.empty() ? "unknown reason" : result.openFailure));
    } else if (result.status == ScanStatus::Cancelled) {
      problems.push_back("scan cancelled");
    } else if (size == 0 && !sizeError) {
      problems.push_back("empty file (0 bytes)");
    } else {
      problems.push_back("not SEG-D: general header block 1 does not decode");
    }
  }
  row_.Set("problems", Joined(problems));
  const bool findings = result.status == ScanStatus::Findings || !result.notices.empty() || !problems.empty() || findingsOver;
  row_.Set("status", !decoded ? "failed" : findings ? "warning" : "ok");
  return std::move(row_);
}

void FanOut::Begin(const model::RecordHeaders& headers) {
  for (model::RecordConsumer* c : consumers_) c->Begin(headers);
}

void FanOut::Row(const model::TraceRow& row) {
  for (model::RecordConsumer* c : consumers_) c->Row(row);
}

std::vector<bool> FanOut::ColumnsRead(const model::RecordHeaders& headers) const {
  std::vector<bool> read(headers.traceColumns.size(), false);
  for (const model::RecordConsumer* c : consumers_) {
    const std::vector<bool> theirs = c->ColumnsRead(headers);
    if (theirs.empty()) return {};
    for (std::size_t i = 0; i < read.size() && i < theirs.size(); ++i) read[i] = read[i] || theirs[i];
  }
  return read;
}

void FanOut::End(const model::RecordHeaders& headers, const model::Integrity& integrity,
                 const std::vector<model::Notice>& notices) {
  for (model::RecordConsumer* c : consumers_) c->End(headers, integrity, notices);
}

}  // namespace segd::app

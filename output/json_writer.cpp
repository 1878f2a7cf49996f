#include "output/json_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "output/row_cursor.h"
#include "output/text_encoding.h"
#include "scan/convert/conversions.h"

namespace segd::output {

namespace {

using model::Value;

void AppendInteger(std::string& out, std::int64_t n) {
  char digits[24];
  const auto r = std::to_chars(digits, digits + sizeof digits, n);
  out.append(digits, r.ptr);
}

void AppendOptional(std::string& out, const std::optional<std::int64_t>& n) {
  if (n) {
    AppendInteger(out, *n);
  } else {
    out += "null";
  }
}

// A code the decoder could not read is -1 in the model: null here.
void AppendCode(std::string& out, std::int32_t code) {
  if (code >= 0) {
    AppendInteger(out, code);
  } else {
    out += "null";
  }
}

void AppendValue(std::string& out, const Value& value) {
  switch (value.kind) {
    case Value::Kind::Null: out += "null"; return;
    case Value::Kind::Bool: out += value.flag ? "true" : "false"; return;
    case Value::Kind::Number:
      // The model brings numbers to plain text; any other text stays a
      // string rather than break the document.
      if (IsJsonNumber(value.text)) {
        out += value.text;
      } else {
        AppendJsonString(out, value.text, Source::Host);
      }
      return;
    case Value::Kind::Text: AppendJsonString(out, value.text, Source::Record); return;
  }
}

// Writes `"key":` with a key not used before in the same object (a second
// "reserved" becomes "reserved_2"), so that every field stays readable.
class ObjectKeys {
 public:
  void Append(std::string& out, std::string_view name) {
    key_.clear();
    AppendHostText(key_, name);
    if (std::find(used_.begin(), used_.end(), key_) != used_.end()) {
      const std::string base = key_;
      for (int n = 2; std::find(used_.begin(), used_.end(), key_) != used_.end(); ++n) {
        key_ = base + "_" + std::to_string(n);
      }
    }
    used_.push_back(key_);
    AppendJsonString(out, key_, Source::Host);
    out += ':';
  }

 private:
  std::vector<std::string> used_;
  std::string key_;
};

void AppendFields(std::string& out, const model::Block& block) {
  ObjectKeys keys;
  out += '{';
  for (std::size_t i = 0; i < block.fields.size(); ++i) {
    const model::Field& field = block.fields[i];
    if (i) out += ',';
    keys.Append(out, field.name);
    out += "{\"raw\":";
    AppendJsonString(out, field.raw, Source::Record);
    out += ",\"value\":";
    AppendValue(out, field.value);
    out += '}';
  }
  out += '}';
}

void AppendSamplesPerTrace(std::string& out, const std::vector<std::int64_t>& samples) {
  if (samples.empty()) {
    out += "null";
    return;
  }
  if (std::all_of(samples.begin(), samples.end(), [&](std::int64_t n) { return n == samples[0]; })) {
    AppendInteger(out, samples[0]);
    return;
  }
  out += '[';
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (i) out += ',';
    AppendInteger(out, samples[i]);
  }
  out += ']';
}

void AppendHostStrings(std::string& out, const std::vector<std::string>& texts) {
  out += '[';
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i) out += ',';
    AppendJsonString(out, texts[i], Source::Host);
  }
  out += ']';
}

// Whether one of the 8 bytes of `w` is below 0x20, above 0x7F, a quote or a
// backslash (bytes that a JSON string escapes or converts).
inline bool AnyUnusual(std::uint64_t w) {
  constexpr std::uint64_t kOnes = 0x0101010101010101, kHigh = 0x8080808080808080;
  auto zeroByte = [](std::uint64_t x) { return (x - kOnes) & ~x & kHigh; };
  return ((w | zeroByte(w & ~kHigh & 0x6060606060606060)) & kHigh) != 0 || zeroByte(w ^ (kOnes * '"')) != 0 ||
         zeroByte(w ^ (kOnes * '\\')) != 0;
}

// A text as a JSON string: quoted as it is when every byte is printable
// ASCII other than quote and backslash (checked 8 bytes at a time), else
// through the general conversion.
inline void PutJsonString(RowCursor& out, std::string_view text, Source source) {
  const char* p = text.data();
  const std::size_t n = text.size();
  bool plain = true;
  std::size_t i = 0;
  for (; i + 8 <= n && plain; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    plain = !AnyUnusual(w);
  }
  for (; i < n && plain; ++i) {
    const auto c = static_cast<unsigned char>(p[i]);
    plain = c >= 0x20 && c < 0x80 && c != '"' && c != '\\';
  }
  if (!plain) {
    out.Through([&](std::string& s) { AppendJsonString(s, text, source); });
    return;
  }
  out.Put('"');
  out.Put(text);
  out.Put('"');
}

// -?(0|[1-9][0-9]*)(\.[0-9]+)?: the texts most numbers have, which
// IsJsonNumber accepts too (below 300 characters); it judges the others.
inline bool PlainDecimal(std::string_view t) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  const char* p = t.data();
  const char* const end = p + t.size();
  if (p != end && *p == '-') ++p;
  if (p == end || !digit(*p)) return false;
  if (*p++ != '0') {
    while (p != end && digit(*p)) ++p;
  }
  if (p != end && *p == '.') {
    const char* const fraction = ++p;
    while (p != end && digit(*p)) ++p;
    if (p == fraction) return false;
  }
  return p == end;
}

// AppendValue through the row's cursor (room for the text and 7 bytes made).
inline void PutValue(RowCursor& out, const Value& value) {
  switch (value.kind) {
    case Value::Kind::Null: out.Put("null"); return;
    case Value::Kind::Bool: out.Put(value.flag ? std::string_view("true") : std::string_view("false")); return;
    case Value::Kind::Number:
      if ((value.text.size() < 300 && PlainDecimal(value.text)) || IsJsonNumber(value.text)) {
        out.Put(value.text);
      } else {
        PutJsonString(out, value.text, Source::Host);
      }
      return;
    case Value::Kind::Text: PutJsonString(out, value.text, Source::Record); return;
  }
}

}  // namespace

void JsonWriter::Begin(const model::RecordHeaders& h) {
  begun_ = true;
  columns_ = h.traceColumns.size();
  label_.assign(columns_, -1);
  skip_.assign(columns_, false);
  for (std::size_t i = 0; i < columns_; ++i) {
    const int of = h.traceColumns[i].labelOf;
    if (of < 0 || static_cast<std::size_t>(of) >= columns_) continue;
    label_[static_cast<std::size_t>(of)] = static_cast<int>(i);
    skip_[i] = true;
  }
  cells_.clear();
  for (std::size_t i = 0; i < columns_; ++i) {
    if (!skip_[i]) cells_.push_back({i, label_[i]});
  }
  std::string& out = out_.Text();
  out += "{\"schema_version\":";
  AppendJsonString(out, model::kSchemaVersion, Source::Host);
  out += ",\n\"path\":";
  AppendJsonString(out, h.path, Source::Host);
  out += ",\n\"size_bytes\":";
  AppendInteger(out, static_cast<std::int64_t>(std::min<std::uint64_t>(h.sizeBytes, INT64_MAX)));
  out += ",\n\"file_number\":";
  AppendValue(out, h.fileNumber);
  out += ",\n\"manufacturer_code\":";
  AppendCode(out, h.manufacturerCode);
  out += ",\n\"manufacturer\":";
  AppendJsonString(out, h.manufacturer, Source::Host);
  out += ",\n\"make\":";
  AppendJsonString(out, h.make, Source::Host);
  out += ",\n\"revision\":";
  if (h.revision) {
    AppendJsonString(out, *h.revision, Source::Host);
  } else {
    out += "null";
  }
  out += ",\n\"format_code\":";
  AppendCode(out, h.formatCode);
  out += ",\n\"samples_per_trace\":";
  AppendSamplesPerTrace(out, h.samplesPerTrace);
  out += ",\n\"sample_interval_ms\":";
  AppendValue(out, h.sampleIntervalMs);
  out += ",\n\"record_length_ms\":";
  AppendValue(out, h.recordLengthMs);
  out += ",\n\"trace_count\":";
  AppendValue(out, h.traceCount);
  out += ",\n\"start_time_utc\":";
  AppendValue(out, h.startTimeUtc);
  out += ",\n\"start_time_source\":";
  AppendValue(out, h.startTimeSource);
  out += ",\n\"summary\":{";
  {
    ObjectKeys keys;
    for (std::size_t i = 0; i < h.summary.fields.size(); ++i) {
      if (i) out += ',';
      keys.Append(out, h.summary.fields[i].name);
      AppendValue(out, h.summary.fields[i].value);
    }
  }
  out += '}';

  out += ",\n\"general_headers\":{";
  ObjectKeys blockKeys;
  for (std::size_t i = 0; i < h.generalHeaders.size(); ++i) {
    out += i ? ",\n" : "\n";
    blockKeys.Append(out, h.generalHeaders[i].name);
    AppendFields(out, h.generalHeaders[i]);
  }
  out += "},\n\"channel_sets\":[";
  for (std::size_t i = 0; i < h.channelSets.size(); ++i) {
    out += i ? ",\n" : "\n";
    AppendFields(out, h.channelSets[i]);
  }
  out += "],\n\"extended_header\":";
  AppendFields(out, h.extendedHeader);
  out += ",\n\"external_header\":{\"text\":";
  AppendJsonString(out, h.externalText, Source::Record);
  out += ",\"hex\":\"";
  AppendHex(out, h.externalBytes);
  out += "\",\"fields\":";
  AppendFields(out, h.externalHeader);
  out += "},\n\"traces\":{\"columns\":[";
  bool first = true;
  for (std::size_t i = 0; i < columns_; ++i) {
    if (skip_[i]) continue;
    if (!first) out += ',';
    first = false;
    AppendJsonString(out, h.traceColumns[i].name, Source::Host);
  }
  out += "],\"rows\":[";
  out_.Commit();
}

void JsonWriter::Row(const model::TraceRow& row) {
  std::string& out = out_.Text();
  const std::size_t start = out.size();
  AppendRowText(0, row, out);
  if (firstRow_) out.erase(start, 1);
  firstRow_ = false;
  out_.Commit();
}

void JsonWriter::TakeRowText(std::size_t, std::string_view text) {
  if (firstRow_ && !text.empty()) text.remove_prefix(1);
  firstRow_ = false;
  out_.Append(text);
}

void JsonWriter::AppendRowText(std::size_t, const model::TraceRow& row, std::string& text) const {
  // Exactly one value per listed column; a coded one with its label.
  static const Value kNothing;
  // The row's cells held in locals: the bytes put through a char pointer
  // could otherwise be any object's, the vector's bounds read anew after each.
  const Value* const values = row.values.data();
  const std::size_t count = row.values.size();
  auto at = [values, count](std::size_t i) -> const Value& { return i < count ? values[i] : kNothing; };
  RowCursor out(text);
  out.Room(4);
  out.Put(",\n[");
  bool first = true;
  for (const Cell& c : cells_) {
    const Value& value = at(c.column);
    // Room for a comma, the label object's start and the value as it is,
    // quoted, or "false".
    out.Room(value.text.size() + 16);
    if (!first) out.Put(',');
    first = false;
    if (c.label < 0 || value.IsNull()) {
      PutValue(out, value);
      continue;
    }
    out.Put("{\"code\":");
    PutValue(out, value);
    const Value& label = at(static_cast<std::size_t>(c.label));
    out.Room(label.text.size() + 18);
    out.Put(",\"label\":");
    PutValue(out, label);
    out.Put('}');
  }
  out.Room(1);
  out.Put(']');
  out.Done();
}

void JsonWriter::End(const model::RecordHeaders&, const model::Integrity& integrity,
                     const std::vector<model::Notice>& notices) {
  if (!begun_ || ended_) return;
  WriteEnd(integrity, notices);
}

void JsonWriter::WriteEnd(const model::Integrity& g, const std::vector<model::Notice>& notices) {
  ended_ = true;
  std::string& out = out_.Text();
  out += "]},\n\"notices\":[";
  for (std::size_t i = 0; i < notices.size(); ++i) {
    out += i ? ",\n" : "\n";
    out += "{\"text\":";
    AppendJsonString(out, notices[i].text, Source::Host);
    out += ",\"caption\":";
    AppendJsonString(out, notices[i].caption, Source::Host);
    out += ",\"kind\":";
    out += notices[i].level == model::NoticeLevel::Warning ? "\"warning\"" : "\"plain\"";
    out += '}';
  }
  out += "],\n\"integrity\":{\"traces_announced\":";
  AppendOptional(out, g.tracesAnnounced);
  out += ",\"traces_listed\":";
  AppendInteger(out, g.tracesListed);
  out += ",\"traces_past_end\":";
  AppendInteger(out, g.tracesPastEnd);
  out += ",\"first_trace_past_end\":";
  AppendOptional(out, g.firstTracePastEnd);
  out += ",\"file_size\":";
  AppendInteger(out, static_cast<std::int64_t>(std::min<std::uint64_t>(g.fileSize, INT64_MAX)));
  out += ",\"bytes_after_last_trace\":";
  AppendInteger(out, g.bytesAfterLastTrace);
  out += ",\"trailer_after_last_trace\":";
  out += g.trailerAfterLastTrace ? "true" : "false";
  out += ",\"problems\":";
  AppendHostStrings(out, g.problems);
  out += "}}\n";
  out_.Flush();
}

bool JsonWriter::Finish() {
  if (begun_ && !ended_) WriteEnd({}, {});
  return out_.Finish();
}

}  // namespace segd::output

#include "output/schema_doc.h"

#include <span>
#include <utility>
#include <string>

#include "scan/model/record_model.h"
#include "scan/standard/channel_set_tables.h"
#include "scan/standard/general_header_tables.h"
#include "scan/makes/makes.h"

namespace segd::generic {

namespace {

struct Suffix {
  std::string_view suffix, unit;
};
constexpr Suffix kSuffixes[] = {{"_ms", "ms"}, {"_us", "µs"}, {"_ns", "ns"},     {"_db", "dB"},
                                {"_hz", "Hz"}, {"_ohm", "Ω"}, {"_percent", "%"}, {"_frequency", "Hz"},
                                {"_x", "m"},   {"_y", "m"},   {"_elevation", "m"}, {"_depth", "m"},
                                {"_latitude", "degree"}, {"_longitude", "degree"}, {"_slope", "dB/octave"},
                                {"_height", "m"}};

std::string_view TypeName(const FieldSpec& f) {
  switch (TypeOf(f)) {
    case model::ValueType::Integer: return "integer";
    case model::ValueType::Real: return "number";
    case model::ValueType::Bool: return "boolean";
    case model::ValueType::Text: break;
  }
  return "string";
}

std::string Bytes(const FieldSpec& f) {
  const bool digits = f.conv == Conv::Bcd || f.conv == Conv::Nibble;
  const int last = digits ? f.byte + (f.low + f.width - 1) / 2 : f.byte + f.width - 1;
  std::string text = last > f.byte ? std::to_string(f.byte) + "-" + std::to_string(last) : std::to_string(f.byte);
  if (f.low) text += " (low half)";
  if (f.conv == Conv::Bit) text += " bit mask " + std::to_string(f.scale);
  if (f.divisor != 1) text += " ÷ " + std::to_string(f.divisor);
  return text;
}

std::string_view ConvName(Conv c) {
  constexpr std::string_view kNames[] = {"BCD",   "half-byte", "unsigned", "signed", "signed, FF escape",
                                         "IEEE single", "IEEE double", "fixed point", "unsigned fixed point",
                                         "descale", "ASCII", "hex", "bit"};
  return kNames[static_cast<int>(c)];
}

void Row(std::string& out, std::string_view name, const FieldSpec& f, std::string_view block, std::string_view makes) {
  out += "| `" + std::string(name) + "` | " + std::string(TypeName(f)) + " | " + std::string(UnitOf(name)) + " | " +
         std::string(block) + " | " + Bytes(f) + " (" + std::string(ConvName(f.conv)) + ") | " + std::string(makes) +
         " |\n";
}

void Table(std::string& out, std::string_view title, std::span<const FieldSpec> fields, std::string_view block,
           std::string_view makes) {
  out += "\n### " + std::string(title) + "\n\n| Data name | Type | Unit | Block | Bytes | Makes |\n|---|---|---|---|---|---|\n";
  for (const FieldSpec& f : fields) Row(out, f.name, f, block, makes);
}

void Columns(std::string& out, std::string_view title, std::span<const ColumnSpec> columns, std::string_view makes) {
  out += "\n### " + std::string(title) + "\n\n| Data name | Type | Unit | Block | Bytes | Makes |\n|---|---|---|---|---|---|\n";
  for (const ColumnSpec& c : columns) {
    const std::string block = c.block == kAbsentBlock ? std::string("the make's own (null where none)")
                              : c.block == 0          ? std::string("trace header")
                                                      : "extension " + std::to_string(c.block);
    Row(out, c.field.name, c.field, block, makes);
    if (c.labels != nullptr) {
      out += "| `" + std::string(c.labels->column) + "` | string |  | " + block + " | label of `" +
             std::string(c.field.name) + "`: ";
      for (const CodeLabel& l : c.labels->rows) out += std::to_string(l.code) + " " + std::string(l.text) + "; ";
      out += "else null | " + std::string(makes) + " |\n";
    }
  }
}

// The summary facts the standard's headers give (scan/standard/general_headers.cpp,
// channel_sets.cpp, additional_blocks.cpp).
constexpr std::pair<std::string_view, std::string_view> kStandardSummary[] = {
    {"date", "general header 1 year and day, ISO 8601"},
    {"time", "general header 1 hour, minute, second"},
    {"sample_interval_ms", "general header 1 base scan interval (rev 3: block 2 or the channel sets), ms"},
    {"record_length_ms", "general header 1 (units of 1.024 s) or block 2's extended record length, ms"},
    {"source_line", "general header 3+ source line"},
    {"source_point", "general header 3+ source point"},
    {"channel_sets", "channel set descriptors used"},
    {"unused_channel_sets", "channel set descriptors all zero"},
    {"seismic_traces", "channels of seismic channel sets"},
    {"auxiliary_traces", "channels of other channel sets"},
    {"trailer_blocks", "general header 2 trailer block count"},
};

constexpr const MakeDescriptor* kMakes[] = {&kSn388Make, &kSercelMake, &kSmartSoloMake, &kFairfield16Make,
                                            &kFairfieldZSystemMake};
constexpr std::string_view kMakeTitles[] = {"SN388", "Sercel 408UL / 428XL (rev 1/2)", "SmartSolo (rev 2.1)",
                                            "Fairfield 1.6", "Fairfield ZSystem 2.1"};

}  // namespace

std::string_view UnitOf(std::string_view name) {
  if (name == "start_time_utc") return "ISO 8601, UTC";
  for (const Suffix& s : kSuffixes) {
    if (name.ends_with(s.suffix)) return s.unit;
  }
  if (name == "receiver_latitude" || name == "receiver_longitude") return "degree";
  return "";
}

std::string SchemaMarkdown() {
  std::string out =
      "# The data outputs' vocabulary (schema " + std::string(model::kSchemaVersion) +
      ")\n\nMade by `build/tools/segd_schema_doc` from the decoder's tables (a test fails when this file and the tables"
      " differ). Every value comes from the record's bytes at its stored precision; a unit is given where the value"
      " has one (counts, codes and identifiers have none). JSON Schemas: `docs/schema/record.schema.json` (`--json`),"
      " `docs/schema/summary.schema.json` (`--summary --summary-format json`).\n\n"
      "## Trace columns (CSV, JSON `traces`, Python `traces`)\n\n"
      "Every record: `trace`, `file_number`, `channel_set`, `trace_number` (escapes honoured), `byte_offset`,"
      " `past_end`, then the columns below. A trace whose header lies past the end of the file has empty cells"
      " (null in JSON, NaN in Python) but for `trace`, `byte_offset` and `past_end`. A coded column's label column"
      " follows it in CSV and Python; JSON gives the pair as `{\"code\", \"label\"}`.\n";
  Columns(out, "Trace header (all revisions)", kTraceHeaderColumns, "all");
  Columns(out, "Extension 1, rev 1.0-2.1 bytes 1-10", kExtension1Columns, "all");
  Columns(out, "Extension 1, rev 2.x bytes 11-21", kExtension1TailColumns, "all but SN388");
  Columns(out, "Extension 1, rev 3", kExtension1ColumnsRev3, "all (rev 3)");
  Columns(out, "Common quantities (every record; each make's row below)", kCommonColumns, "all");
  for (std::size_t i = 0; i < std::size(kMakes); ++i) {
    Columns(out, std::string(kMakeTitles[i]) + ": trace header extensions", kMakes[i]->columns, kMakeTitles[i]);
    if (!kMakes[i]->continuous.empty())
      Columns(out, std::string(kMakeTitles[i]) + ": in continuous recording", kMakes[i]->continuous, kMakeTitles[i]);
  }
  out += "\n## Header blocks (JSON `general_headers`, `channel_sets`, `extended_header`, `external_header`)\n";
  Table(out, "General header block 1", kGeneralHeader1, "general header 1", "all");
  Table(out, "General header block 2, rev 1.0-2.1", kGeneralHeader2, "general header 2", "all");
  Table(out, "General header block 2, Fairfield", kGeneralHeader2Fairfield, "general header 2", "Fairfield");
  Table(out, "General header block 2, rev 3", kGeneralHeader2Rev3, "general header 2", "all (rev 3)");
  Table(out, "General header block 3 and later, rev 1/2", kSourceBlock, "general header 3+", "all");
  Table(out, "General header block 3, rev 3", kGeneralHeader3Rev3, "general header 3", "all (rev 3)");
  Table(out, "Rev 3 source description block: head", kSourceHead, "general header 3+ (0x15-0x1F)", "all (rev 3)");
  Table(out, "Rev 3 source description block: vibrator", kSourceVibrator, "general header 3+", "all (rev 3)");
  Table(out, "Rev 3 source description block: explosive", kSourceExplosive, "general header 3+", "all (rev 3)");
  Table(out, "Rev 3 source description block: air gun", kSourceGun, "general header 3+", "all (rev 3)");
  Table(out, "Rev 3 source description block: electromagnetic", kSourceElectromagnetic, "general header 3+",
        "all (rev 3)");
  Table(out, "Rev 3 source description block: tail", kSourceTail, "general header 3+", "all (rev 3)");
  Table(out, "Rev 3 vessel block", kVesselBlock, "general header 3+ (0x10)", "all (rev 3)");
  Table(out, "Rev 3 survey area block", kSurveyAreaBlock, "general header 3+ (0x11)", "all (rev 3)");
  Table(out, "Rev 3 client block", kClientBlock, "general header 3+ (0x12)", "all (rev 3)");
  Table(out, "Rev 3 job block", kJobBlock, "general header 3+ (0x13)", "all (rev 3)");
  Table(out, "Rev 3 line block", kLineBlock, "general header 3+ (0x14)", "all (rev 3)");
  Table(out, "Rev 3 additional source block", kAdditionalSourceBlock, "general header 3+ (0x20)", "all (rev 3)");
  Table(out, "Rev 3 block of another type", kRawBlock, "general header 3+", "all (rev 3)");
  Table(out, "Channel set descriptor, rev 1/2", kChannelSet, "channel set", "all");
  Table(out, "Channel set descriptor, rev 3", kChannelSetRev3, "channel set", "all (rev 3)");
  Table(out, "General trailer", kGeneralTrailer, "general trailer", "all");
  for (std::size_t i = 0; i < std::size(kMakes); ++i) {
    if (!kMakes[i]->extended.empty())
      Table(out, std::string(kMakeTitles[i]) + ": extended header", kMakes[i]->extended, "extended header", kMakeTitles[i]);
    if (!kMakes[i]->external.empty())
      Table(out, std::string(kMakeTitles[i]) + ": external header", kMakes[i]->external, "external header", kMakeTitles[i]);
    for (const Rename& r : kMakes[i]->channelSet) {
      out += "\nChannel set `" + std::string(r.standard) + "` is `" + std::string(r.make) + "` on " +
             std::string(kMakeTitles[i]) + " records.\n";
    }
  }
  out += "\n## Summary facts (JSON `summary`, the summary rows)\n\n| Data name | Make | From |\n|---|---|---|\n";
  for (const auto& [name, from] : kStandardSummary) {
    out += "| `" + std::string(name) + "` | all | " + std::string(from) + " |\n";
  }
  for (std::size_t i = 0; i < std::size(kMakes); ++i) {
    for (const SummaryFrom& s : kMakes[i]->summary) {
      out += "| `" + std::string(s.summary) + "` | " + std::string(kMakeTitles[i]) + " | " +
             (s.header == SummaryFrom::Header::Extended ? "extended" : "external") + " header `" +
             std::string(s.field) + "` |\n";
    }
  }
  return out;
}

}  // namespace segd::generic

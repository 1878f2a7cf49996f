#include "output/export_fields.h"

#include <charconv>
#include <string_view>

namespace segd::output {
namespace {

using Member = std::optional<double> ExportTrace::*;

// Where a value is looked for: a trace column, the record's summary, or the
// trace's channel set descriptor.
enum class From : std::uint8_t { Column, Summary, ChannelSet };

struct Name {
  std::string_view name;
  double factor = 1;
};

struct FieldRow {
  Member member;
  From from;
  Name names[4];
  bool geographic = false;  // degrees of latitude or longitude
};

// The one table, in the common names (SI units) and the standard's own
// names; the first name with a value wins (per trace for columns: extension
// 1 gives the line and point in its extended bytes when the short ones hold
// the escape). The gain alone has no common name: each
// make that records it in dB names it its own way.
const FieldRow kExportFields[] = {
    {&ExportTrace::receiverLine, From::Column, {{"receiver_line"}, {"extended_receiver_line"}}},
    {&ExportTrace::receiverPoint, From::Column, {{"receiver_point"}, {"extended_receiver_point"}}},
    {&ExportTrace::receiverX, From::Column, {{"receiver_x"}}},
    {&ExportTrace::receiverY, From::Column, {{"receiver_y"}}},
    {&ExportTrace::receiverElevation, From::Column, {{"receiver_elevation"}}},
    {&ExportTrace::receiverX, From::Column, {{"receiver_longitude"}}, true},
    {&ExportTrace::receiverY, From::Column, {{"receiver_latitude"}}, true},
    {&ExportTrace::gainDb, From::Column, {{"fairfield_preamp_gain_db"}, {"sn388_gain_db"}}},
    {&ExportTrace::sourceLine, From::Summary, {{"source_line"}}},
    {&ExportTrace::sourcePoint, From::Summary, {{"source_point"}}},
    {&ExportTrace::sourceX, From::Summary, {{"source_x"}}},
    {&ExportTrace::sourceY, From::Summary, {{"source_y"}}},
    {&ExportTrace::sourceElevation, From::Summary, {{"source_elevation"}}},
    {&ExportTrace::aliasHz, From::ChannelSet, {{"alias_filter_frequency"}}},
    {&ExportTrace::aliasSlope, From::ChannelSet, {{"alias_filter_slope"}}},
    {&ExportTrace::lowCutHz, From::ChannelSet, {{"low_cut_frequency"}}},
    {&ExportTrace::lowCutSlope, From::ChannelSet, {{"low_cut_slope"}}},
};

// The trace's sensor (the trace header extension's code list: 2 vertical
// geophone, 3 in-line, 4 cross-line, 1 hydrophone, 6-9 accelerometers),
// first nonzero wins: the standard's byte (Fairfield fills it with each
// channel's component, Sercel with its sensor), then Sercel's extension 2
// byte 21, read with the same codes (the public Sercel record's two bytes
// agree), for records that leave the standard's byte 0.
// SmartSolo records a unit type and channel number only, no direction.
constexpr std::string_view kSensorNames[] = {"sensor_type", "sercel_sensor_type"};

// The file number: the general header's, else (when it holds 0, as
// SmartSolo's does) the make's own in its external or extended header.
constexpr std::string_view kFileNumberName = "file_number";

std::string_view FieldName(const model::Column& c) { return c.name; }

template <typename List>
std::optional<std::size_t> IndexOf(const List& list, std::string_view name) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (FieldName(list[i]) == name) return i;
  }
  return std::nullopt;
}

}  // namespace

std::string Text(const model::Value& value) {
  const bool written = value.kind == model::Value::Kind::Number || value.kind == model::Value::Kind::Text;
  return written ? value.text : std::string();
}

std::optional<double> NumberOf(const model::Value& value) {
  if (value.kind == model::Value::Kind::Number) return value.number;
  if (value.kind != model::Value::Kind::Text || value.text.empty()) return std::nullopt;
  double v = 0;
  const char* end = value.text.data() + value.text.size();
  const auto [ptr, ec] = std::from_chars(value.text.data(), end, v);
  return ec == std::errc() && ptr == end ? std::optional<double>(v) : std::nullopt;
}

ExportFieldMap::ExportFieldMap(const model::RecordHeaders& headers) : headers_(headers) {
  for (const FieldRow& row : kExportFields) {
    std::vector<Found> found;
    for (const Name& name : row.names) {
      if (row.from != From::Column || name.name.empty()) continue;
      if (const auto column = IndexOf(headers.traceColumns, name.name)) found.push_back({*column, name.factor});
    }
    found_.push_back(std::move(found));
  }
  serial_ = IndexOf(headers.traceColumns, "unit_serial");
  for (std::string_view name : kSensorNames) {
    if (const auto column = IndexOf(headers.traceColumns, name)) sensors_.push_back(*column);
  }
  if (const model::Field* f = headers.summary.Find("unit_serial")) recordSerial_ = Text(f->value);
}

std::optional<std::int64_t> ExportFieldMap::FileNumber() const {
  std::optional<double> n = NumberOf(headers_.fileNumber);
  for (const model::Block* block : {&headers_.externalHeader, &headers_.extendedHeader}) {
    const model::Field* f = block->Find(kFileNumberName);
    if (n.value_or(0) == 0 && f && NumberOf(f->value).value_or(0) != 0) n = NumberOf(f->value);
  }
  return n ? std::optional<std::int64_t>(static_cast<std::int64_t>(*n)) : std::nullopt;
}

void ExportFieldMap::Fill(const model::TraceRow& row, std::size_t channelSet, ExportTrace& trace) const {
  const model::Block* set = channelSet < headers_.channelSets.size() ? &headers_.channelSets[channelSet] : nullptr;
  for (std::size_t i = 0; i < std::size(kExportFields); ++i) {
    const FieldRow& spec = kExportFields[i];
    std::optional<double> value;
    if (spec.from == From::Column) {
      for (const Found& found : found_[i]) {
        if (found.column < row.values.size() && (value = NumberOf(row.values[found.column]))) {
          *value *= found.factor;
          break;
        }
      }
    } else {
      const model::Block* block = spec.from == From::Summary ? &headers_.summary : set;
      for (const Name& name : spec.names) {
        const model::Field* f = block && !name.name.empty() ? block->Find(name.name) : nullptr;
        if (f && (value = NumberOf(f->value))) {
          *value *= name.factor;
          break;
        }
      }
    }
    if (!value) continue;
    // Projected coordinates win over geographic ones for the same member,
    // unless they are both 0 (no projected position: SmartSolo fills
    // latitude and longitude and leaves its easting and northing 0).
    const bool projected = trace.*spec.member && !trace.geographic &&
                           (trace.receiverX.value_or(0) != 0 || trace.receiverY.value_or(0) != 0);
    if (spec.geographic && projected) continue;
    trace.*spec.member = value;
    if (spec.geographic) trace.geographic = true;
  }
  // The unit serial: the trace's, else the record's (a Fairfield shot
  // record names its one unit in the extended header).
  trace.serial = serial_ && *serial_ < row.values.size() ? Text(row.values[*serial_]) : std::string();
  if (trace.serial.empty()) trace.serial = recordSerial_;
  for (std::size_t column : sensors_) {
    if (trace.sensorType == 0 && column < row.values.size()) {
      trace.sensorType = static_cast<int>(NumberOf(row.values[column]).value_or(0));
    }
  }
}

void ExportFieldMap::CountTraces(ExportRecord& record) const {
  record.seismicTraces = record.auxiliaryTraces = 0;
  for (const model::Block& set : headers_.channelSets) {
    const model::Field* channels = set.Find("channels");
    const model::Field* type = set.Find("channel_type");
    if (!channels) continue;
    const auto count = static_cast<std::int64_t>(NumberOf(channels->value).value_or(0));
    const bool seismic = type && NumberOf(type->value).value_or(0) == kSeismicChannel;
    (seismic ? record.seismicTraces : record.auxiliaryTraces) += count;
  }
}

}  // namespace segd::output

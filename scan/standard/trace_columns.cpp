// The trace columns of a record, the bytes a trace's samples take, and the
// samples per channel set as the first trace of each set states them.
#include <algorithm>
#include <array>

#include "scan/samples/sample_formats.h"
#include "scan/standard/decoder_parts.h"
#include "scan/makes/makes.h"

namespace segd::generic {

std::optional<std::uint64_t> SampleBytes(int formatCode, std::int64_t samples) {
  // The sample format table says how many bytes (8015: four samples in 10
  // bytes, a partial last group padded).
  const samples::SampleFormat* format = samples::FindSampleFormat(formatCode);
  if (format == nullptr) return std::nullopt;
  return samples::SampleBytes(*format, static_cast<std::uint64_t>(std::max<std::int64_t>(samples, 0)));
}

std::vector<ColumnSpec> TraceColumnSpecs(const RecordShape& shape) {
  const MakeDescriptor* make = shape.make;
  std::vector<ColumnSpec> standard(std::begin(kTraceHeaderColumns), std::end(kTraceHeaderColumns));
  if (shape.rev3) {
    standard.insert(standard.end(), std::begin(kExtension1ColumnsRev3), std::end(kExtension1ColumnsRev3));
  } else {
    standard.insert(standard.end(), std::begin(kExtension1Columns), std::end(kExtension1Columns));
    if (make == nullptr || make->extension1Tail)
      standard.insert(standard.end(), std::begin(kExtension1TailColumns), std::end(kExtension1TailColumns));
  }
  // The make's columns, those of continuous recording in place of the rows
  // at the same bytes.
  std::vector<ColumnSpec> own;
  if (make != nullptr) {
    for (ColumnSpec c : make->columns) {
      for (const ColumnSpec& r : make->continuous) {
        if (shape.continuous && r.block == c.block && r.field.byte == c.field.byte) c = r;
      }
      own.push_back(c);
    }
  }
  // The common quantities next, each from the make's row or absent.
  for (const ColumnSpec& common : kCommonColumns) {
    auto mine = std::find_if(own.begin(), own.end(), [&](const ColumnSpec& c) { return c.field.name == common.field.name; });
    if (mine == own.end()) {
      standard.push_back(common);
    } else {
      standard.push_back(*mine);
      own.erase(mine);
    }
  }
  standard.insert(standard.end(), own.begin(), own.end());
  // A coded column's label column follows it.
  std::vector<ColumnSpec> specs;
  for (const ColumnSpec& c : standard) {
    specs.push_back(c);
    if (c.labels == nullptr) continue;
    ColumnSpec label = c;
    label.field.name = c.labels->column;
    label.flag = label.dead = false;
    label.label = true;
    specs.push_back(label);
  }
  return specs;
}

std::vector<model::Column> ModelColumns(std::span<const ColumnSpec> specs) {
  using model::ValueType;
  std::vector<model::Column> columns;
  for (std::string_view name : model::kFixedColumns) {
    columns.push_back({std::string(name), name == "past_end" ? ValueType::Bool : ValueType::Integer});
  }
  for (const ColumnSpec& c : specs) {
    model::Column& column = columns.emplace_back();
    column.name = c.field.name;
    column.type = c.label ? ValueType::Text : TypeOf(c.field);
    column.flag = c.flag;
    column.dead = c.dead;
    if (c.label) column.labelOf = static_cast<int>(columns.size()) - 2;
  }
  return columns;
}

std::vector<std::int64_t> PredictSamples(ByteSource& source, const RecordShape& shape) {
  std::vector<std::int64_t> samples;
  std::uint64_t position = shape.firstTrace;
  const FieldSpec& count = shape.rev3 ? kExtension1SamplesRev3 : kExtension1Samples;
  for (const ChannelSetShape& set : shape.sets) {
    if (set.channels == 0) continue;
    std::array<std::uint8_t, kTraceHeaderBytes + kExtensionBytes> bytes{};
    if (position < shape.size) source.ReadAt(position, bytes);
    const int extensions = bytes[9] != 0 ? bytes[9] : set.extensions;
    std::int64_t n = set.samples.value_or(0);
    if (extensions >= 1 && position < shape.size) {
      const std::int64_t stated = *ReadInteger(std::span(bytes).subspan(kTraceHeaderBytes), count);
      if (stated > 0) n = stated;
    }
    samples.push_back(n);
    const std::uint64_t trace = kTraceHeaderBytes + kExtensionBytes * static_cast<std::uint64_t>(extensions) +
                                SampleBytes(shape.formatCode, n).value_or(4 * static_cast<std::uint64_t>(n));
    // Past the file the prediction stops moving (the descriptors give the rest).
    if (position < shape.size)
      position += trace * static_cast<std::uint64_t>(std::min<std::int64_t>(set.channels, 1 << 24));
  }
  return samples;
}

}  // namespace segd::generic

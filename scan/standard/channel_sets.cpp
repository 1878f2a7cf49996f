// The scan type headers: per scan type, its channel set descriptors (32
// bytes in rev 1/2, 96 in rev 3; unused ones all zero but in their slot),
// then its sample skew blocks.
#include <algorithm>
#include <vector>

#include "scan/standard/channel_set_tables.h"
#include "scan/standard/decoder_parts.h"
#include "scan/standard/general_header_tables.h"
#include "scan/makes/makes.h"

namespace segd::generic {

namespace {

consteval const FieldSpec& C(std::string_view name) { return Row(kChannelSet, name); }
consteval const FieldSpec& C3(std::string_view name) { return Row(kChannelSetRev3, name); }

ChannelSetShape Rev12Shape(std::span<const std::uint8_t> d, const HeaderCounts& counts, bool withTimeZero) {
  ChannelSetShape set;
  // Set numbers above 99 are in bytes 27-28 (byte 2 then FF).
  set.number = ReadInteger(d, C("channel_set")).value_or(ReadInteger(d, C("extended_channel_set")).value_or(0));
  set.channels = ReadInteger(d, C("channels")).value_or(0);
  set.extensions = static_cast<int>(*ReadInteger(d, C("trace_header_extensions")));
  set.channelType = static_cast<int>(*ReadInteger(d, C("channel_type")));
  // Samples from the times, as rev 0 and 1 records count them: the span
  // over the base scan interval, times 2^J subscans, plus the sample at
  // time zero. A fallback only: Fairfield counts without the sample at
  // time zero (15000 samples for 30000 ms at 2 ms).
  const std::int64_t start = *ReadInteger(d, C("start_time_ms")), end = *ReadInteger(d, C("end_time_ms"));
  const std::int64_t j = *ReadInteger(d, C("subscans_exponent"));
  if (counts.baseIntervalMs > 0 && end > start) {
    set.samples =
        static_cast<std::int64_t>(static_cast<double>(end - start) / counts.baseIntervalMs) * (std::int64_t{1} << j) +
        (withTimeZero ? 1 : 0);
  }
  return set;
}

ChannelSetShape Rev3Shape(std::span<const std::uint8_t> d) {
  ChannelSetShape set;
  set.number = *ReadInteger(d, C3("channel_set"));
  set.channels = *ReadInteger(d, C3("channels"));
  set.extensions = static_cast<int>(*ReadInteger(d, C3("trace_header_extensions")));
  set.channelType = static_cast<int>(*ReadInteger(d, C3("channel_type")));
  if (const std::int64_t samples = *ReadInteger(d, C3("samples")); samples > 0) set.samples = samples;
  set.intervalUs = *ReadInteger(d, C3("sample_interval_us"));
  return set;
}

// The descriptors kept decoded as fields (each takes some kilobytes; a
// hostile record of a few megabytes can announce hundreds of thousands). The
// walk still knows every set: only its shape is kept for the others.
constexpr std::size_t kMostDescriptorsListed = 1024;

}  // namespace

std::uint64_t DecodeScanTypeHeaders(ByteSource& source, std::uint64_t offset, const HeaderCounts& counts,
                                    RecordShape& shape, model::RecordHeaders& headers, const Notices& notices) {
  const std::size_t size = shape.rev3 ? kDescriptorBytesRev3 : kDescriptorBytes;
  const std::uint64_t skewBytes = kBlockBytes * static_cast<std::uint64_t>(counts.skewBlocks);
  std::int64_t unused = 0, seismic = 0, auxiliary = 0;
  bool cut = false;
  std::int64_t unlisted = 0;
  std::vector<std::uint8_t> d(size);
  const std::uint64_t end = offset + static_cast<std::uint64_t>(counts.scanTypes) *
                                         (static_cast<std::uint64_t>(counts.channelSets) * size + skewBytes);
  for (std::int64_t scanType = 1; scanType <= counts.scanTypes && !cut; ++scanType) {
    for (std::int64_t slot = 1; slot <= counts.channelSets; ++slot, offset += size) {
      // The counts may be larger than the file: descriptors past its end
      // are not read (the walk will find the record cut).
      if (offset >= shape.size) {
        cut = true;
        break;
      }
      source.ReadAt(offset, d);
      if (std::all_of(d.begin(), d.end(), [](std::uint8_t b) { return b == 0; })) {
        ++unused;
        continue;
      }
      ChannelSetShape set = shape.rev3 ? Rev3Shape(d) : Rev12Shape(d, counts, shape.manufacturerCode != 20);
      set.scanType = static_cast<int>(scanType);
      if (headers.channelSets.size() < kMostDescriptorsListed) {
        model::Block block{"scan_type_" + std::to_string(scanType) + "_channel_set_" + std::to_string(set.number), {}};
        DecodeFields(d, shape.rev3 ? std::span<const FieldSpec>(kChannelSetRev3) : std::span<const FieldSpec>(kChannelSet),
                     block);
        if (shape.make != nullptr) {
          for (const Rename& r : shape.make->channelSet) {
            for (model::Field& f : block.fields) {
              if (f.name == r.standard) f.name = r.make;
            }
          }
        }
        headers.channelSets.push_back(std::move(block));
      } else {
        ++unlisted;
      }
      (set.channelType == 1 ? seismic : auxiliary) += set.channels;
      shape.sets.push_back(set);
    }
    if (skewBytes > 0 && offset < shape.size)
      DecodeSkewBlocks(source, offset, static_cast<int>(scanType), counts.skewBlocks, headers);
    offset += skewBytes;
  }
  offset = end;
  if (cut) {
    notices.Warn("The record ends inside its channel set descriptors (general header block 1 announces " +
                 std::to_string(counts.scanTypes) + " scan types of " + std::to_string(counts.channelSets) +
                 " channel sets).");
  }
  if (unlisted > 0) {
    notices.Warn("The record holds " + std::to_string(static_cast<std::int64_t>(shape.sets.size())) +
                 " channel set descriptors; the first " + std::to_string(kMostDescriptorsListed) +
                 " header blocks are listed, " + std::to_string(unlisted) + " are not.");
  }
  AddSummary(headers, "channel_sets", IntegerValue(static_cast<std::int64_t>(shape.sets.size())));
  AddSummary(headers, "unused_channel_sets", IntegerValue(unused));
  AddSummary(headers, "seismic_traces", IntegerValue(seismic));
  AddSummary(headers, "auxiliary_traces", IntegerValue(auxiliary));
  return offset;
}

}  // namespace segd::generic

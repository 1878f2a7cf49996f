// The trace walk of the general decoder, one loop for every revision: per
// scan type, per channel set, per channel, the 20-byte trace header and its
// extensions are read (one read per trace, header bytes only) and the
// samples are skipped by their size, 20 + 32 x extensions + bytes(format,
// samples). The row is reused from trace to trace: no allocation per trace.
#include <algorithm>
#include <array>
#include <limits>

#include "scan/segd/decoder_parts.h"
#include "scan/segd/general_header_tables.h"

namespace segd::generic {

namespace {

using model::Value;

constexpr std::size_t kMostHeaderBytes = kTraceHeaderBytes + kExtensionBytes * kMostExtensionsRead;
// Far beyond any file: keeps a walk over absurd counts from overflowing.
constexpr std::uint64_t kPositionLimit = std::uint64_t{1} << 62;
constexpr std::int64_t kProgressStep = 4096;

// Findings counted over the walk and reported once each.
struct Mismatches {
  std::int64_t count = 0;
  std::int64_t firstTrace = 0;
  void Add(std::int64_t trace) {
    if (count++ == 0) firstTrace = trace;
  }
};

void SetBool(Value& v, bool b) {
  v.kind = Value::Kind::Bool;
  v.text.assign(b ? "true" : "false");
  v.number = b ? 1 : 0;
  v.flag = b;
}

void SetOptional(Value& v, std::optional<std::int64_t> n) {
  if (n) {
    SetInteger(v, *n);
  } else {
    SetNull(v);
  }
}

// A BCD field of the trace header, or (all ones, an escape) the binary field
// that extends it.
std::optional<std::int64_t> EscapedField(std::span<const std::uint8_t> header, const FieldSpec& bcd,
                                         std::span<const std::uint8_t> extendedBlock, const FieldSpec* extended) {
  if (AllOnes(header, bcd)) return extended == nullptr ? std::nullopt : ReadInteger(extendedBlock, *extended);
  return ReadInteger(header, bcd);
}

}  // namespace

void WalkGenericTraces(ByteSource& source, const RecordShape& shape, model::RecordHeaders& headers,
                       model::RecordConsumer& consumer, const model::ScanOptions& options, model::ScanResult& result) {
  model::Integrity& integrity = result.integrity;
  integrity.fileSize = shape.size;
  integrity.tracesAnnounced = shape.tracesAnnounced;
  const Notices notices{result.notices};
  auto Problem = [&](std::string text) {
    integrity.problems.push_back(text);
    notices.Warn(std::move(text));
  };

  const std::vector<ColumnSpec> specs = TraceColumnSpecs(shape);
  int blocksRead = 1;  // extension 1 always: it holds the sample count
  for (const ColumnSpec& c : specs) blocksRead = std::max<int>(blocksRead, c.block);
  const FieldSpec& samplesField = shape.rev3 ? kExtension1SamplesRev3 : kExtension1Samples;

  // The channel sets' count, bounded by what the file can hold: every trace
  // takes at least its 20-byte header.
  std::int64_t announced = 0;
  for (const ChannelSetShape& set : shape.sets)
    announced = std::min<std::int64_t>(announced + set.channels, std::int64_t{1} << 40);
  const std::uint64_t room = shape.size > shape.firstTrace ? shape.size - shape.firstTrace : 0;
  const std::int64_t limit = std::min<std::int64_t>(announced, static_cast<std::int64_t>(room / kTraceHeaderBytes) + 1);
  if (shape.multiplexed) {
    integrity.bytesAfterLastTrace = static_cast<std::int64_t>(room);
    return;
  }
  if (announced > limit) {
    Problem("The channel sets announce " + std::to_string(announced) + " traces; a file of " +
            std::to_string(shape.size) + " bytes holds at most " + std::to_string(limit - 1) + " from byte " +
            std::to_string(shape.firstTrace) + ": the walk stops after " + std::to_string(limit) + ".");
  }

  model::TraceRow row;
  row.values.resize(std::size(model::kFixedColumns) + specs.size());
  // Columns the consumer does not read stay Null: their conversion is spared.
  std::vector<bool> read = consumer.ColumnsRead(headers);
  read.resize(row.values.size(), read.empty());
  std::array<std::uint8_t, kMostHeaderBytes> bytes{};
  const std::span<const std::uint8_t> header(bytes.data(), kTraceHeaderBytes);
  std::uint64_t position = shape.firstTrace;
  std::int64_t listed = 0;
  Mismatches channelSet, traceNumber, fileNumber;
  struct {
    std::int64_t count = 0;                  // the sample count a trace last stated
    std::optional<std::int64_t> setSamples;  // its channel set's count from the descriptor
  } lastStated;
  std::vector<std::int64_t> walkedSamples;
  bool cancelled = false;

  for (const ChannelSetShape& set : shape.sets) {
    bool noCount = false;
    for (std::int64_t channel = 1; channel <= set.channels && listed < limit; ++channel) {
      if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed)) {
        cancelled = true;
        break;
      }
      // One read for the header and the extensions the channel set states
      // (as many as the columns use); a second only when byte 10 says more.
      const int expected = std::min(set.extensions, blocksRead);
      const std::size_t first = kTraceHeaderBytes + kExtensionBytes * static_cast<std::size_t>(expected);
      source.ReadAt(position, std::span(bytes.data(), first));
      const int extensions = bytes[9] != 0 ? bytes[9] : set.extensions;
      const int have = std::min(extensions, blocksRead);
      if (have > expected) {
        source.ReadAt(position + first,
                      std::span(bytes.data() + first, kExtensionBytes * static_cast<std::size_t>(have - expected)));
      }
      auto Extension = [&](int k) {
        return std::span<const std::uint8_t>(bytes.data() + kTraceHeaderBytes + kExtensionBytes * (k - 1),
                                             kExtensionBytes);
      };

      // The sample count: extension 1 when it gives one, else the channel set.
      // A count past the end of a cut file reads as zeros: such a trace takes
      // the count the traces last stated, in its own channel set or one whose
      // times are the same (times may be one sample off what traces state).
      const bool countInFile = position + kTraceHeaderBytes + EndNibble(samplesField) / 2 <= shape.size;
      std::int64_t stated = lastStated.count != 0 && lastStated.setSamples == set.samples ? lastStated.count : 0;
      if (countInFile) {
        stated = have >= 1 ? ReadInteger(Extension(1), samplesField).value_or(0) : 0;
        if (stated > 0) lastStated = {stated, set.samples};
      }
      std::int64_t samples = 0;
      if (stated > 0) {
        samples = stated;
      } else if (set.samples) {
        samples = *set.samples;
      } else {
        noCount = true;
      }
      if (channel == 1) walkedSamples.push_back(samples);
      const std::uint64_t headerBytes = kTraceHeaderBytes + kExtensionBytes * static_cast<std::uint64_t>(extensions);
      const std::uint64_t traceBytes =
          headerBytes + SampleBytes(shape.formatCode, samples).value_or(4 * static_cast<std::uint64_t>(samples));
      const bool pastEnd = position + traceBytes > shape.size;

      // The fixed columns, escapes honoured.
      const std::optional<std::int64_t> file =
          EscapedField(header, kTraceFileNumber, header, &kTraceExtendedFileNumber);
      const std::optional<std::int64_t> setNumber =
          EscapedField(header, kTraceChannelSet, header, &kTraceExtendedChannelSet);
      const std::optional<std::int64_t> number =
          EscapedField(header, kTraceNumber, have >= 1 ? Extension(1) : header,
                       shape.rev3 && have >= 1 ? &kExtension1TraceNumberRev3 : nullptr);
      row.trace = ++listed;
      row.byteOffset = position;
      row.pastEnd = pastEnd;
      SetInteger(row.values[0], listed);
      SetOptional(row.values[1], file);
      SetOptional(row.values[2], setNumber);
      SetOptional(row.values[3], number);
      SetInteger(row.values[4], static_cast<std::int64_t>(position));
      SetBool(row.values[5], pastEnd);
      for (std::size_t i = 0; i < specs.size(); ++i) {
        if (!read[6 + i]) continue;
        Value& v = row.values[6 + i];
        const int block = specs[i].block;
        if (block == 0) {
          ReadValue(header, specs[i].field, v);
        } else if (block <= have) {
          ReadValue(Extension(block), specs[i].field, v);
        } else {
          SetNull(v);
        }
      }

      // Only a header inside the file can be checked against the walk.
      if (position + headerBytes <= shape.size) {
        if (setNumber != set.number || ReadInteger(header, kTraceScanType) != set.scanType) channelSet.Add(listed);
        if (number != channel) traceNumber.Add(listed);
        if (shape.fileNumber && file != shape.fileNumber) fileNumber.Add(listed);
      }
      if (pastEnd) {
        if (integrity.tracesPastEnd++ == 0) integrity.firstTracePastEnd = listed;
      }
      consumer.Row(row);
      position = std::min(position + traceBytes, kPositionLimit);
      if (options.progress && listed % kProgressStep == 0) options.progress(listed, announced);
    }
    if (noCount) {
      notices.Warn("Channel set " + std::to_string(set.number) + " of scan type " + std::to_string(set.scanType) +
                   " gives no sample count (no extension 1 count, no times): its traces are walked as headers only.");
    }
    if (cancelled || listed >= limit) break;
  }
  if (options.progress) options.progress(listed, announced);
  integrity.tracesListed = listed;
  if (cancelled) {
    result.status = model::ScanStatus::Cancelled;
    return;
  }
  // Samples per channel set as walked (sets past the limit keep the
  // prediction).
  for (std::size_t i = 0; i < walkedSamples.size() && i < headers.samplesPerTrace.size(); ++i)
    headers.samplesPerTrace[i] = walkedSamples[i];

  // Where the walk ends against the end of the file.
  const std::uint64_t trailerBytes =
      kExtensionBytes * static_cast<std::uint64_t>(std::max<std::int64_t>(shape.trailerBlocks, 0));
  integrity.bytesAfterLastTrace = position >= shape.size ? -static_cast<std::int64_t>(position - shape.size)
                                                         : static_cast<std::int64_t>(shape.size - position);
  const std::int64_t left = integrity.bytesAfterLastTrace;
  if (left < 0 && !integrity.firstTracePastEnd) {
    Problem("The record is cut: the file ends " + std::to_string(-left) + " bytes before its headers do.");
  } else if (left < 0) {
    Problem("The record is cut: trace " + std::to_string(*integrity.firstTracePastEnd) + " of " +
            std::to_string(announced) + " is the first past the end of the file, which is " + std::to_string(-left) +
            " bytes short of the last trace's end.");
  } else if (trailerBytes > 0 && static_cast<std::uint64_t>(left) == trailerBytes) {
    integrity.trailerAfterLastTrace = true;
    DecodeTrailer(source, position, shape.trailerBlocks, headers);
  } else if (left > 0 || trailerBytes > 0) {
    std::string text = std::to_string(left) + " bytes are left over after the last trace";
    if (trailerBytes > 0) {
      text += "; the general trailer announces " + std::to_string(trailerBytes) + " bytes";
      if (static_cast<std::uint64_t>(left) > trailerBytes) {
        text += ", so " + std::to_string(static_cast<std::uint64_t>(left) - trailerBytes) +
                " bytes are not a general trailer";
        integrity.trailerAfterLastTrace = true;
        DecodeTrailer(source, position, shape.trailerBlocks, headers);
      }
    } else if (shape.rev3 && TypedTrailerBlocks(source, position, static_cast<std::uint64_t>(left))) {
      // Rev 3 trailer blocks name themselves: these are a trailer block 2
      // does not count.
      text += ": " + std::to_string(left / kBlockBytes) +
              " general trailer block(s) (type 0x70) that general header block 2 does not count";
      integrity.trailerAfterLastTrace = true;
      DecodeTrailer(source, position, left / kBlockBytes, headers);
    } else {
      text += " (the record announces no general trailer)";
    }
    Problem(text + ".");
  }

  auto Report = [&](const Mismatches& m, std::string_view what) {
    if (m.count == 0) return;
    Problem(std::to_string(m.count) + " trace header(s) give " + std::string(what) + " (first: trace " +
            std::to_string(m.firstTrace) + ").");
  };
  Report(channelSet, "a scan type or channel set other than the walk's position");
  Report(traceNumber, "a trace number other than the walk's position in the channel set");
  Report(fileNumber, "a file number other than the record's " +
                         (shape.fileNumber ? std::to_string(*shape.fileNumber) : std::string()));
  if (shape.tracesAnnounced && *shape.tracesAnnounced != announced) {
    Problem("The extended header announces " + std::to_string(*shape.tracesAnnounced) +
            " traces; the channel sets hold " + std::to_string(announced) + ".");
  }
}

}  // namespace segd::generic

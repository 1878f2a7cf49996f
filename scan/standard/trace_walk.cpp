// The trace walk of the general decoder, one loop for every revision: per
// scan type, per channel set, per channel, the 20-byte trace header and its
// extensions are read (one read per trace, header bytes only) and the
// samples are skipped by their size, 20 + 32 x extensions + bytes(format,
// samples). On one thread the row is reused from trace to trace: no
// allocation per trace; long walks run on both cores
// (trace_walk_batches.cpp).
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "scan/standard/general_header_tables.h"
#include "scan/standard/trace_walk_steps.h"

namespace segd::generic {

namespace {

using model::Value;

// Far beyond any file: keeps a walk over absurd counts from overflowing.
constexpr std::uint64_t kPositionLimit = std::uint64_t{1} << 62;

void SetBool(Value& v, bool b) {
  if (v.kind == Value::Kind::Bool && v.flag == b) return;  // a reused row's cell as it was
  v.kind = Value::Kind::Bool;
  v.text.assign(b ? "true" : "false");
  v.number = b ? 1 : 0;
  v.flag = b;
}

// An integer cell of a reused row that already holds `n` keeps its text.
void SetWhole(Value& v, std::int64_t n) {
  if (v.kind == Value::Kind::Number && v.number == static_cast<double>(n) && n > -(std::int64_t{1} << 53) &&
      n < (std::int64_t{1} << 53))
    return;
  SetInteger(v, n);
}

void SetOptional(Value& v, std::optional<std::int64_t> n) {
  if (n) {
    SetWhole(v, *n);
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

// Whether a cell's header bytes are those the row was last filled from:
// the common sizes compared inline (a call per cell cost more than the
// comparison).
bool SameBytes(const char* before, const std::uint8_t* now, std::size_t count) {
  switch (count) {
    case 1: return std::memcmp(before, now, 1) == 0;
    case 2: return std::memcmp(before, now, 2) == 0;
    case 3: return std::memcmp(before, now, 3) == 0;
    case 4: return std::memcmp(before, now, 4) == 0;
    case 8: return std::memcmp(before, now, 8) == 0;
    default: return std::memcmp(before, now, count) == 0;
  }
}

std::span<const std::uint8_t> Extension(const std::uint8_t* bytes, int k) {
  return {bytes + kTraceHeaderBytes + kExtensionBytes * static_cast<std::size_t>(k - 1), kExtensionBytes};
}

}  // namespace

TraceLocator::TraceLocator(ByteSource& source, const RecordShape& shape, int blocksRead, std::int64_t limit)
    : source_(source), shape_(shape), blocksRead_(blocksRead), limit_(limit),
      samplesField_(shape.rev3 ? kExtension1SamplesRev3 : kExtension1Samples), position_(shape.firstTrace) {}

bool TraceLocator::More() {
  while (set_ < shape_.sets.size() && (channel_ >= shape_.sets[set_].channels || listed_ >= limit_)) {
    ++set_;
    channel_ = 0;
  }
  return set_ < shape_.sets.size();
}

bool TraceLocator::Next(TracePlace& place, std::uint8_t* bytes) {
  if (!More()) return false;
  const ChannelSetShape& set = shape_.sets[set_];
  ++channel_;
  // One read for the header and the extensions the channel set states (as
  // many as the columns use); a second only when byte 10 says more.
  const int expected = std::min(set.extensions, blocksRead_);
  const std::size_t first = kTraceHeaderBytes + kExtensionBytes * static_cast<std::size_t>(expected);
  source_.ReadAt(position_, std::span(bytes, first));
  const int extensions = bytes[9] != 0 ? bytes[9] : set.extensions;
  const int have = std::min(extensions, blocksRead_);
  if (have > expected) {
    source_.ReadAt(position_ + first,
                   std::span(bytes + first, kExtensionBytes * static_cast<std::size_t>(have - expected)));
  }

  // The sample count: extension 1 when it gives one, else the channel set.
  // A count past the end of a cut file reads as zeros: such a trace takes
  // the count the traces last stated, in its own channel set or one whose
  // times are the same (times may be one sample off what traces state).
  // The file's size asked anew: a read that found the end of a file cut
  // during the scan has lowered it, so the traces gone are past its end.
  const std::uint64_t size = std::min<std::uint64_t>(shape_.size, source_.Size());
  const bool countInFile = position_ + kTraceHeaderBytes + EndNibble(samplesField_) / 2 <= size;
  std::int64_t stated = statedCount_ != 0 && statedSetSamples_ == set.samples ? statedCount_ : 0;
  if (countInFile) {
    stated = have >= 1 ? ReadInteger(Extension(bytes, 1), samplesField_).value_or(0) : 0;
    if (stated > 0) {
      statedCount_ = stated;
      statedSetSamples_ = set.samples;
    }
  }
  place.noCount = false;
  if (stated > 0) {
    place.samples = stated;
  } else if (set.samples) {
    place.samples = *set.samples;
  } else {
    place.samples = 0;
    place.noCount = true;
  }
  const std::uint64_t headerBytes = kTraceHeaderBytes + kExtensionBytes * static_cast<std::uint64_t>(extensions);
  const std::uint64_t traceBytes =
      headerBytes + SampleBytes(shape_.formatCode, place.samples).value_or(4 * static_cast<std::uint64_t>(place.samples));
  place.position = position_;
  place.samplesAt = position_ + headerBytes;
  place.listed = ++listed_;
  place.channel = channel_;
  place.set = set_;
  place.have = have;
  place.pastEnd = position_ + traceBytes > size;
  place.headerInFile = position_ + headerBytes <= size;
  position_ = std::min(position_ + traceBytes, kPositionLimit);
  return true;
}

RowMaker::RowMaker(const RecordShape& shape, std::vector<ColumnSpec> specs, std::vector<bool> read)
    : shape_(shape), specs_(std::move(specs)), read_(std::move(read)) {
  read_.resize(std::size(model::kFixedColumns) + specs_.size(), read_.empty());
  for (std::size_t i = 0; i < specs_.size(); ++i) {
    const ColumnSpec& spec = specs_[i];
    const int block = spec.block;
    const std::size_t at = (block == 0 || block == kAbsentBlock ? 0 : kTraceHeaderBytes + kExtensionBytes * static_cast<std::size_t>(block - 1)) +
                           static_cast<std::size_t>(spec.field.byte - 1);
    const std::size_t count = static_cast<std::size_t>((EndNibble(spec.field) + 1) / 2 - (spec.field.byte - 1));
    places_.push_back({static_cast<bool>(read_[std::size(model::kFixedColumns) + i]), spec.block,
                       static_cast<std::uint16_t>(at), static_cast<std::uint16_t>(count)});
  }
}

std::uint8_t RowMaker::Fill(const TracePlace& place, const std::uint8_t* bytes, model::TraceRow& row) const {
  // One value past the columns (no writer reads past them) keeps the header
  // bytes the row was last filled from: a reused row keeps every cell whose
  // bytes are unchanged, as most are from trace to trace.
  const std::size_t columns = read_.size();
  row.values.resize(columns + 1);
  Value& memo = row.values[columns];
  const std::span<const std::uint8_t> header(bytes, kTraceHeaderBytes);
  const int have = place.have;
  // The fixed columns, escapes honoured.
  const std::optional<std::int64_t> file = EscapedField(header, kTraceFileNumber, header, &kTraceExtendedFileNumber);
  const std::optional<std::int64_t> setNumber =
      EscapedField(header, kTraceChannelSet, header, &kTraceExtendedChannelSet);
  const std::optional<std::int64_t> number =
      EscapedField(header, kTraceNumber, have >= 1 ? Extension(bytes, 1) : header,
                   shape_.rev3 && have >= 1 ? &kExtension1TraceNumberRev3 : nullptr);
  row.trace = place.listed;
  row.byteOffset = place.position;
  row.pastEnd = place.pastEnd;
  row.samplesOffset = place.samplesAt;
  row.samples = place.samples;
  row.channelSetIndex = static_cast<std::int32_t>(place.set);
  row.headerBytes = {bytes, kTraceHeaderBytes + kExtensionBytes * static_cast<std::size_t>(std::max(have, 0))};
  SetInteger(row.values[0], place.listed);
  SetOptional(row.values[1], file);
  SetOptional(row.values[2], setNumber);
  SetOptional(row.values[3], number);
  SetInteger(row.values[4], static_cast<std::int64_t>(place.position));
  SetBool(row.values[5], place.pastEnd);
  // A header that reaches past the end of the file has no values: its
  // cells are empty rather than the zeros read there.
  const bool inFile = place.headerInFile;
  if (!inFile) {
    for (std::size_t i = 1; i <= 3; ++i) SetNull(row.values[i]);
  }
  const std::size_t headerBytes = kTraceHeaderBytes + kExtensionBytes * static_cast<std::size_t>(std::max(have, 0));
  const bool before = memo.kind == Value::Kind::Bool && memo.flag == inFile && memo.number == have &&
                      memo.text.size() == headerBytes;
  for (std::size_t i = 0; i < specs_.size(); ++i) {
    const Place& where = places_[i];
    if (!where.read) continue;
    Value& v = row.values[6 + i];
    const int block = where.block;
    if (before && block != kAbsentBlock && block <= have) {
      if (SameBytes(memo.text.data() + where.at, bytes + where.at, where.count)) continue;
    } else if (before) {
      continue;  // null before, null now
    }
    const ColumnSpec& spec = specs_[i];
    if (!inFile || block == kAbsentBlock || block > have) {
      SetNull(v);
      continue;
    }
    const std::span<const std::uint8_t> bytesOf = block == 0 ? header : Extension(bytes, block);
    if (spec.label) {
      const std::optional<std::int64_t> code = ReadInteger(bytesOf, spec.field);
      const std::string_view text = code ? spec.labels->Find(*code) : std::string_view();
      if (text.empty()) {
        SetNull(v);
      } else {
        SetText(v, text);
      }
    } else {
      ReadValue(bytesOf, spec.field, v);
    }
  }

  memo.kind = Value::Kind::Bool;
  memo.flag = inFile;
  memo.number = have;
  memo.text.assign(reinterpret_cast<const char*>(bytes), headerBytes);

  // Only a header inside the file can be checked against the walk.
  if (!place.headerInFile) return 0;
  const ChannelSetShape& set = shape_.sets[place.set];
  std::uint8_t mismatches = 0;
  if (setNumber != set.number || ReadInteger(header, kTraceScanType) != set.scanType) mismatches |= kOtherChannelSet;
  if (number != place.channel) mismatches |= kOtherTraceNumber;
  if (shape_.fileNumber && file != shape_.fileNumber) mismatches |= kOtherFileNumber;
  return mismatches;
}

void WalkFindings::Take(const TracePlace& place, std::uint8_t mismatches) {
  if (set_ != place.set) {
    EndSet();
    set_ = place.set;
  }
  noCount_ = noCount_ || place.noCount;
  if (place.channel == 1) walkedSamples.push_back(place.samples);
  listed = place.listed;
  if (mismatches & kOtherChannelSet) channelSet.Add(listed);
  if (mismatches & kOtherTraceNumber) traceNumber.Add(listed);
  if (mismatches & kOtherFileNumber) fileNumber.Add(listed);
  if (place.pastEnd) {
    if (integrity_.tracesPastEnd++ == 0) integrity_.firstTracePastEnd = listed;
  }
}

void WalkFindings::EndSet() {
  if (!noCount_) return;
  noCount_ = false;
  const ChannelSetShape& set = shape_.sets[*set_];
  notices_.Warn("Channel set " + std::to_string(set.number) + " of scan type " + std::to_string(set.scanType) +
                " gives no sample count (no extension 1 count, no times): its traces are walked as headers only.");
}

void WalkGenericTraces(ByteSource& source, const RecordShape& shape, model::RecordHeaders& headers,
                       model::RecordConsumer& consumer, const model::ScanOptions& options, model::ScanResult& result,
                       const TraceBatchOptions& batching) {
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
  for (const ColumnSpec& c : specs) {
    if (c.block != kAbsentBlock) blocksRead = std::max<int>(blocksRead, c.block);
  }

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

  // Columns the consumer does not read stay Null: their conversion is spared.
  const RowMaker rows(shape, specs, consumer.ColumnsRead(headers));
  TraceLocator locator(source, shape, blocksRead, limit);
  WalkFindings findings(shape, integrity, notices);
  bool cancelled = false;
  if (!WalkTracesInBatches(source, limit, locator, rows, findings, consumer, options, announced, batching, cancelled)) {
    model::TraceRow row;
    TracePlace place;
    std::array<std::uint8_t, kMostHeaderBytes> bytes{};
    while (locator.More()) {
      if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed)) {
        cancelled = true;
        break;
      }
      locator.Next(place, bytes.data());
      findings.Take(place, rows.Fill(place, bytes.data(), row));
      consumer.Row(row);
      if (options.progress && place.listed % kProgressStep == 0) options.progress(place.listed, announced);
    }
  }
  findings.Finish();
  const std::int64_t listed = findings.listed;
  if (options.progress) options.progress(listed, announced);
  integrity.tracesListed = listed;
  if (cancelled) {
    result.status = model::ScanStatus::Cancelled;
    return;
  }
  const std::vector<std::int64_t>& walkedSamples = findings.walkedSamples;
  const std::uint64_t position = locator.Position();
  // Samples per channel set as walked (sets past the limit keep the
  // prediction).
  for (std::size_t i = 0; i < walkedSamples.size() && i < headers.samplesPerTrace.size(); ++i)
    headers.samplesPerTrace[i] = walkedSamples[i];

  // Where the walk ends against the end of the file.
  const std::uint64_t trailerBytes =
      kExtensionBytes * static_cast<std::uint64_t>(std::max<std::int64_t>(shape.trailerBlocks, 0));
  const std::uint64_t size = std::min<std::uint64_t>(shape.size, source.Size());
  integrity.fileSize = size;
  integrity.bytesAfterLastTrace = position >= size ? -static_cast<std::int64_t>(position - size)
                                                   : static_cast<std::int64_t>(size - position);
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
  Report(findings.channelSet, "a scan type or channel set other than the walk's position");
  Report(findings.traceNumber, "a trace number other than the walk's position in the channel set");
  Report(findings.fileNumber, "a file number other than the record's " +
                         (shape.fileNumber ? std::to_string(*shape.fileNumber) : std::string()));
  if (shape.tracesAnnounced && *shape.tracesAnnounced != announced) {
    Problem("The extended header announces " + std::to_string(*shape.tracesAnnounced) +
            " traces; the channel sets hold " + std::to_string(announced) + ".");
  }
}

}  // namespace segd::generic

// The samples walk: a consumer of the general decoder's rows that reads each
// trace's sample bytes where the row says they lie, decodes them with the
// format table and hands them on with the trace's facts.
#include "scan/samples/trace_samples.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "scan/model/both_consumers.h"
#include "scan/model/record_scan_makes.h"

namespace segd::samples {

namespace {

const model::Value* FieldValue(const model::Block& block, std::string_view name) {
  const model::Field* f = block.Find(name);
  return f == nullptr || f->value.IsNull() ? nullptr : &f->value;
}

double FieldNumber(const model::Block& block, std::string_view name, double otherwise) {
  const model::Value* v = FieldValue(block, name);
  return v == nullptr ? otherwise : v->number;
}

// An integer value from its exact digits (µs counts exceed a double's 2^53
// only far in the future, but the digits are exact anyway).
std::optional<std::int64_t> Integer(const model::Value& v) {
  if (v.kind != model::Value::Kind::Number) return std::nullopt;
  std::int64_t n = 0;
  const char* end = v.text.data() + v.text.size();
  const auto [ptr, ec] = std::from_chars(v.text.data(), end, n);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return n;
}

std::optional<std::size_t> ColumnIndex(const model::RecordHeaders& h, std::string_view name) {
  for (std::size_t i = 0; i < h.traceColumns.size(); ++i) {
    if (h.traceColumns[i].name == name) return i;
  }
  return std::nullopt;
}

const model::Block* FindBlock(const std::vector<model::Block>& blocks, std::string_view name) {
  for (const model::Block& b : blocks) {
    if (b.name == name) return &b;
  }
  return nullptr;
}

std::vector<ChannelSetSamples> SetsOf(const model::RecordHeaders& h, bool rev3) {
  const model::Value* base = FieldValue(h.summary, "sample_interval_ms");
  const double baseUs = base == nullptr ? 0 : base->number * 1000.0;
  std::vector<ChannelSetSamples> sets;
  for (const model::Block& b : h.channelSets) {
    // The descriptors of the sets walked, in walk order (the skew blocks'
    // "scan_type_S_skew" are not sets).
    ChannelSetSamples s;
    long long scanType = 0, number = 0;
    if (std::sscanf(b.name.c_str(), "scan_type_%lld_channel_set_%lld", &scanType, &number) != 2) continue;
    s.scanType = scanType;
    s.number = number;
    s.channelType = static_cast<int>(FieldNumber(b, "channel_type", 0));
    if (sets.size() < h.samplesPerTrace.size()) s.samples = h.samplesPerTrace[sets.size()];
    s.descale = FieldNumber(b, "descale_multiplier", 0);
    if (rev3) {
      const double own = FieldNumber(b, "sample_interval_us", 0);
      s.intervalUs = own > 0 ? own : baseUs;
      s.startTimeMs = FieldNumber(b, "start_time", 0) / 1000.0;  // µs, as the interval (not confirmed)
      s.scaleFactor = std::isfinite(s.descale) && s.descale != 0 ? s.descale : 1;
    } else {
      s.intervalUs = baseUs / std::exp2(FieldNumber(b, "subscans_exponent", 0));
      s.startTimeMs = FieldNumber(b, "start_time_ms", 0);
      s.scaleFactor = std::exp2(s.descale);
    }
    sets.push_back(s);
  }
  return sets;
}

// Why the samples of a record are not read when its headers announce more
// than any file holds: a damaged count (millions of samples per trace over
// thousands of traces) would make a matrix or an export of terabytes, all
// but the file's own bytes padding. The walk lists at most a trace per 20
// bytes; the limit leaves room for a record cut to a 64th of its size, and
// for any record whose samples take less than 16 MiB.
std::optional<std::string> Unbounded(const model::RecordHeaders& h, std::uint64_t size) {
  std::int64_t widest = 0;
  for (const std::int64_t n : h.samplesPerTrace) widest = std::max(widest, n);
  if (h.traceCount.kind != model::Value::Kind::Number || widest <= 0) return std::nullopt;
  const double traces = std::min(h.traceCount.number, static_cast<double>(size / 20 + 1));
  const double samples = traces * static_cast<double>(widest);
  if (samples * 4 <= std::max(64.0 * static_cast<double>(size), 16.0 * (1 << 20))) return std::nullopt;
  char text[256];
  std::snprintf(text, sizeof text,
                "The channel sets announce up to %lld samples per trace: over the %.0f traces a file of %llu bytes "
                "can list, %.3g samples, far more than the file holds (a damaged header, or a record cut short?). "
                "The samples are not read.",
                static_cast<long long>(widest), traces, static_cast<unsigned long long>(size), samples);
  return text;
}

// The record read through one window (1 MiB, or more for a longer read):
// the walk's header reads and the samples' reads come from the same bytes,
// one read of the file for each window instead of a read per trace. The
// samples are decoded where they lie in the window (View), not copied.
class WindowSource final : public ByteSource {
 public:
  static constexpr std::size_t kWindowBytes = std::size_t{1} << 20;
  explicit WindowSource(ByteSource& inner) : inner_(inner) {}
  void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
    if (out.empty()) return;
    const std::span<const std::uint8_t> in = View(offset, out.size());
    std::memcpy(out.data(), in.data(), out.size());
  }
  // The `count` bytes at `offset`, valid until the next read.
  std::span<const std::uint8_t> View(std::uint64_t offset, std::size_t count) {
    if (count == 0) return {};
    if (!filled_ || offset < start_ || offset - start_ + count > window_.size()) {
      window_.resize(std::max(kWindowBytes, count));
      inner_.ReadShared(offset, window_);
      start_ = offset;
      filled_ = true;
    }
    return {window_.data() + (offset - start_), count};
  }
  std::uint64_t Size() const override { return inner_.Size(); }

 private:
  ByteSource& inner_;
  std::vector<std::uint8_t> window_;
  std::uint64_t start_ = 0;
  bool filled_ = false;
};

// How many of the bytes of `samples` samples at `offset` the file holds.
std::size_t BytesInFile(const ByteSource& source, const SampleFormat& format, std::uint64_t offset,
                        std::size_t samples) {
  const std::uint64_t size = source.Size();
  const std::uint64_t available = offset < size ? size - offset : 0;
  return static_cast<std::size_t>(std::min(SampleBytes(format, samples), available));
}

// The bytes of `samples` samples at `offset` that the file holds.
std::span<const std::uint8_t> ReadBytes(ByteSource& source, const SampleFormat& format, std::uint64_t offset,
                                        std::size_t samples, std::vector<std::uint8_t>& scratch) {
  scratch.resize(BytesInFile(source, format, offset, samples));
  if (!scratch.empty()) source.ReadShared(offset, scratch);
  return scratch;
}

template <typename T>
std::size_t Finish(std::span<T> out, std::size_t got, double factor, T past) {
  if constexpr (!std::is_integral_v<T>) {
    if (factor != 1.0) {
      for (std::size_t i = 0; i < got; ++i) out[i] = static_cast<T>(out[i] * factor);
    }
  }
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(got), out.end(), past);
  return got;
}

// One trace's bytes decoded into `out` (see ReadSamplesAt).
std::size_t DecodeTrace(const SampleFormat& format, std::span<const std::uint8_t> bytes, std::span<float> out,
                        double factor, std::size_t* inexact) {
  return Finish(out, DecodeSamples(format, bytes, out, inexact), factor, std::numeric_limits<float>::quiet_NaN());
}
std::size_t DecodeTrace(const SampleFormat& format, std::span<const std::uint8_t> bytes, std::span<double> out,
                        double factor) {
  return Finish(out, DecodeSamples(format, bytes, out), factor, std::numeric_limits<double>::quiet_NaN());
}
std::size_t DecodeTrace(const SampleFormat& format, std::span<const std::uint8_t> bytes, std::span<std::int32_t> out) {
  return Finish(out, DecodeSamples(format, bytes, out), 1.0, std::int32_t{0});
}

class SampleAdapter final : public model::RecordConsumer {
 public:
  SampleAdapter(WindowSource& source, TraceSampleConsumer& consumer, const SampleOptions& options,
                std::atomic<bool>& stop)
      : source_(source), consumer_(consumer), options_(options), stop_(stop),
        leap_(options.leapSeconds != nullptr ? *options.leapSeconds : LeapSeconds::BuiltIn()) {}

  void Begin(const model::RecordHeaders& h) override {
    const bool rev3 = h.revision && !h.revision->empty() && (*h.revision)[0] == '3';
    format_ = FindSampleFormat(h.formatCode);
    if (format_ == nullptr && options_.readSamples) notices_.push_back({SampleFormatNotice(h.formatCode) + ".", "Samples", model::NoticeLevel::Warning});
    sets_ = SetsOf(h, rev3);
    if (format_ != nullptr) {
      if (std::optional<std::string> why = Unbounded(h, source_.Size())) {
        notices_.push_back({std::move(*why), "Samples", model::NoticeLevel::Warning});
        format_ = nullptr;  // as for a format the walk does not know
      }
    }
    type_ = options_.type == SampleType::kFloat64 ? NativeType::kFloat64 : NativeType::kFloat32;
    if (options_.type == SampleType::kNative && format_ != nullptr) type_ = format_->native;
    // Scaled values are not integers.
    if (options_.scaled && type_ == NativeType::kInt32) type_ = NativeType::kFloat64;

    // The start time: the make's own per trace, else rev 3 block 3, else
    // block 1's date and time.
    gpsColumn_ = h.manufacturerCode == 61 ? ColumnIndex(h, "smartsolo_time_break_gps_us") : std::nullopt;
    epochColumn_ = h.manufacturerCode == 20 ? ColumnIndex(h, "fairfield_shot_epoch_us") : std::nullopt;
    if (const model::Block* gh3 = rev3 ? FindBlock(h.generalHeaders, "general_header_3") : nullptr) {
      if (const model::Value* v = FieldValue(*gh3, "time_zero_us")) {
        if (const auto us = Integer(*v); us && *us > 0) recordStart_ = {leap_.GpsToUnixMicros(*us), TimeSource::kRev3TimeZero};
      }
    }
    const model::Value* date = FieldValue(h.summary, "date");
    const model::Value* time = FieldValue(h.summary, "time");
    int y = 0, mo = 0, d = 0, hh = 0, mi = 0, ss = 0;
    if (!recordStart_.second.has_value() && date != nullptr && time != nullptr &&
        std::sscanf(date->text.c_str(), "%d-%d-%d", &y, &mo, &d) == 3 &&
        std::sscanf(time->text.c_str(), "%d:%d:%d", &hh, &mi, &ss) == 3) {
      if (const auto s = UnixSeconds(y, mo, d, hh, mi, ss)) recordStart_ = {*s * 1000000, TimeSource::kGeneralHeader};
    }
    const SampleRecord record{h, format_, sets_, options_.type == SampleType::kNative ? SampleType::kNative : options_.type,
                              type_, options_.scaled, options_.scaled ? std::string_view("mV") : std::string_view("as recorded")};
    consumer_.Begin(record);
  }

  // The consumer's columns and those the start times read.
  std::vector<bool> ColumnsRead(const model::RecordHeaders& h) const override {
    std::vector<bool> read = consumer_.ColumnsRead(h);
    if (read.empty()) return read;
    read.resize(h.traceColumns.size());
    for (const auto& column : {gpsColumn_, epochColumn_}) {
      if (column) read[*column] = true;
    }
    return read;
  }

  void Row(const model::TraceRow& row) override {
    if (options_.scan.cancel != nullptr && options_.scan.cancel->load(std::memory_order_relaxed)) {
      userCancelled = true;
      stop_ = true;
      return;
    }
    if (row.trace >= options_.lastTrace) stop_ = true;
    if (row.trace < options_.firstTrace || row.trace > options_.lastTrace) return;
    const std::size_t setIndex =
        row.channelSetIndex >= 0 && static_cast<std::size_t>(row.channelSetIndex) < sets_.size() ? static_cast<std::size_t>(row.channelSetIndex) : 0;
    static const ChannelSetSamples kNoSet{};
    const ChannelSetSamples& set = sets_.empty() ? kNoSet : sets_[setIndex];
    TraceSamples t{row, set, setIndex};
    // No trace holds more samples than the file has bytes: a larger count
    // is read as a cut trace of that many.
    const std::uint64_t size = source_.Size();
    t.sampleCount = std::min<std::int64_t>(std::max<std::int64_t>(row.samples, 0),
                                           static_cast<std::int64_t>(std::min<std::uint64_t>(size, INT64_MAX)));
    // A count beyond both its channel set's and what the rest of the file
    // holds is a damaged one (a trace past the end takes the count the
    // traces last stated): it is cut to the larger of the two, so that no
    // trace is padded to a count that nothing in the record supports.
    if (format_ != nullptr) {
      const std::uint64_t rest = size > row.samplesOffset ? size - row.samplesOffset : 0;
      const auto fits = static_cast<std::int64_t>(std::min<std::uint64_t>(
          rest / static_cast<std::uint64_t>(format_->groupBytes) * static_cast<std::uint64_t>(format_->groupSamples),
          INT64_MAX));
      t.sampleCount = std::min(t.sampleCount, std::max(set.samples, fits));
    }
    StartTime(row, set, t);
    if (format_ != nullptr && options_.readSamples) ReadSamples(row, set, t);
    consumer_.Trace(t);
  }

  void End(const model::RecordHeaders& h, const model::Integrity& integrity,
           const std::vector<model::Notice>& notices) override {
    if (inexact_ > 0) {
      notices_.push_back({std::to_string(inexact_) + " sample(s) of format " + std::to_string(h.formatCode) +
                              " are not exact in float32: ask for the native type (" +
                              std::string(NativeTypeName(format_->native)) + ") to keep them exact.",
                          "Samples", model::NoticeLevel::Plain});
    }
    std::vector<model::Notice> all = notices;
    all.insert(all.end(), notices_.begin(), notices_.end());
    consumer_.End(h, integrity, all);
  }

  std::vector<model::Notice> notices_;
  bool userCancelled = false;

 private:
  void StartTime(const model::TraceRow& row, const ChannelSetSamples& set, TraceSamples& t) const {
    const auto delay = static_cast<std::int64_t>(std::llround(set.startTimeMs * 1000.0));
    auto At = [&](const std::optional<std::size_t>& column) -> std::optional<std::int64_t> {
      if (!column || *column >= row.values.size()) return std::nullopt;
      const auto v = Integer(row.values[*column]);
      return v && *v > 0 ? v : std::nullopt;
    };
    if (const auto gps = At(gpsColumn_)) {
      t.startUnixMicros = leap_.GpsToUnixMicros(*gps) + delay;
      t.timeSource = TimeSource::kMakeGps;
    } else if (const auto epoch = At(epochColumn_)) {
      t.startUnixMicros = *epoch + delay;
      t.timeSource = TimeSource::kMakeEpoch;
    } else if (recordStart_.second) {
      t.startUnixMicros = recordStart_.first + delay;
      t.timeSource = *recordStart_.second;
    }
  }

  void ReadSamples(const model::TraceRow& row, const ChannelSetSamples& set, TraceSamples& t) {
    const auto n = static_cast<std::size_t>(t.sampleCount);
    const double factor = options_.scaled ? set.scaleFactor : 1.0;
    const std::span<const std::uint8_t> bytes =
        source_.View(row.samplesOffset, BytesInFile(source_, *format_, row.samplesOffset, n));
    std::size_t got = 0;
    switch (type_) {
      case NativeType::kFloat32:
        floats_.resize(n);
        got = DecodeTrace(*format_, bytes, floats_, factor, &t.inexact);
        inexact_ += t.inexact;
        t.samples = floats_;
        break;
      case NativeType::kFloat64:
        doubles_.resize(n);
        got = DecodeTrace(*format_, bytes, doubles_, factor);
        t.doubles = doubles_;
        break;
      case NativeType::kInt32:
        integers_.resize(n);
        got = DecodeTrace(*format_, bytes, integers_);
        t.integers = integers_;
        break;
    }
    t.samplesInFile = static_cast<std::int64_t>(got);
    t.cut = static_cast<std::int64_t>(got) < row.samples;
  }

  WindowSource& source_;
  TraceSampleConsumer& consumer_;
  const SampleOptions& options_;
  std::atomic<bool>& stop_;
  const LeapSeconds& leap_;
  const SampleFormat* format_ = nullptr;
  std::vector<ChannelSetSamples> sets_;
  NativeType type_ = NativeType::kFloat32;
  std::optional<std::size_t> gpsColumn_, epochColumn_;
  std::pair<std::int64_t, std::optional<TimeSource>> recordStart_{0, std::nullopt};
  std::vector<float> floats_;
  std::vector<double> doubles_;
  std::vector<std::int32_t> integers_;
  std::size_t inexact_ = 0;
};

}  // namespace

std::size_t ReadSamplesAt(ByteSource& source, const SampleFormat& format, std::uint64_t offset, std::span<float> out,
                          double factor, std::vector<std::uint8_t>& scratch, std::size_t* inexact) {
  return DecodeTrace(format, ReadBytes(source, format, offset, out.size(), scratch), out, factor, inexact);
}

std::size_t ReadSamplesAt(ByteSource& source, const SampleFormat& format, std::uint64_t offset, std::span<double> out,
                          double factor, std::vector<std::uint8_t>& scratch) {
  return DecodeTrace(format, ReadBytes(source, format, offset, out.size(), scratch), out, factor);
}

std::size_t ReadSamplesAt(ByteSource& source, const SampleFormat& format, std::uint64_t offset,
                          std::span<std::int32_t> out, std::vector<std::uint8_t>& scratch) {
  return DecodeTrace(format, ReadBytes(source, format, offset, out.size(), scratch), out);
}

std::string_view TimeSourceName(TimeSource source) {
  switch (source) {
    case TimeSource::kMakeGps: return "make GPS time";
    case TimeSource::kMakeEpoch: return "make epoch";
    case TimeSource::kRev3TimeZero: return "general header 3 GPS time";
    case TimeSource::kGeneralHeader: return "general header (local or unknown)";
    case TimeSource::kNone: break;
  }
  return "none";
}

std::string StartTimeText(const std::optional<std::int64_t>& unixMicros) {
  return unixMicros ? FormatUtc(*unixMicros) : std::string();
}

model::ScanResult WalkTraceSamples(ByteSource& source, const std::string& path, TraceSampleConsumer& consumer,
                                   const SampleOptions& options) {
  // A walk that feeds rows follows ScanRecord's rule: a file it refuses is
  // not walked at all.
  model::RecordConsumer* rows = options.rows;
  if (rows != nullptr) {
    if (auto refused = model::RefusedAsNoRecord(source, path)) {
      if (options.rowsResult != nullptr) *options.rowsResult = *refused;
      return std::move(*refused);
    }
  }
  std::atomic<bool> stop{false};
  model::ScanOptions scan = options.scan;
  scan.cancel = &stop;
  WindowSource window(source);
  SampleAdapter adapter(window, consumer, options, stop);
  // On the calling thread: the sample reads follow the rows in file order.
  TraceBatchOptions batching;
  batching.workers = 0;
  model::BothConsumers both(adapter, rows != nullptr ? *rows : adapter);
  model::ScanResult result =
      model::ScanGenericRecord(window, path, rows != nullptr ? static_cast<model::RecordConsumer&>(both) : adapter, scan,
                               batching);
  if (rows != nullptr && options.rowsResult != nullptr) *options.rowsResult = result;
  result.notices.insert(result.notices.end(), adapter.notices_.begin(), adapter.notices_.end());
  if (result.status == model::ScanStatus::Cancelled && !adapter.userCancelled) {
    // Stopped after options.lastTrace: not a cancel.
    result.status = result.notices.empty() && result.integrity.problems.empty() ? model::ScanStatus::Ok
                                                                               : model::ScanStatus::Findings;
  } else if (result.status == model::ScanStatus::Ok && !adapter.notices_.empty()) {
    result.status = model::ScanStatus::Findings;
  }
  return result;
}

model::ScanResult WalkTraceSamplesFile(const std::string& path, TraceSampleConsumer& consumer,
                                       const SampleOptions& options) {
  std::string reason;
  std::unique_ptr<FileByteSource> source = FileByteSource::Open(path, &reason);
  if (!source) {
    model::ScanResult result;
    result.status = model::ScanStatus::CannotOpen;
    result.openFailure = reason;
    result.notices.push_back({"Cannot open " + path + (reason.empty() ? "" : " (" + reason + ")"), "Open Failed",
                              model::NoticeLevel::Warning});
    if (options.rowsResult != nullptr) *options.rowsResult = result;
    return result;
  }
  return WalkTraceSamples(*source, path, consumer, options);
}

}  // namespace segd::samples

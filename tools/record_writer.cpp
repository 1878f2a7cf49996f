#include "tools/record_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <fstream>

#include "tools/synthetic_samples.h"

namespace segd::writer {
namespace {

constexpr std::uint64_t kBlockBytes = 32;
constexpr std::uint64_t kTraceHeaderBytes = 20;
constexpr std::uint64_t kSampleBytes = 4;
constexpr std::uint64_t kTraceEditDead = 2;
constexpr std::size_t kSamplesPerChunk = 16384;

std::uint64_t Blocks(std::uint64_t bytes) { return (bytes + kBlockBytes - 1) / kBlockBytes; }

// The value of a count field in the chosen form; `largest` is the biggest
// count its decimal digits hold.
std::uint64_t CountField(LengthForm form, std::uint64_t count, std::uint64_t largest) {
  switch (form) {
    case LengthForm::kBcd: return count;
    case LengthForm::kExtended: return kAllF;
    case LengthForm::kAuto: break;
  }
  return count <= largest ? count : kAllF;
}

std::uint64_t RecordMilliseconds(const RecordSpec& s) {
  const std::uint64_t interval = SampleIntervalMicroseconds(s.general1.baseScanInterval);
  return (static_cast<std::uint64_t>(s.samplesPerTrace) * interval + 999) / 1000;
}

// The extended and external headers as written: whole blocks, zero-padded.
Bytes ExtendedHeaderBytes(const RecordSpec& s) {
  Bytes b = s.rawExtendedHeader ? *s.rawExtendedHeader : EncodeExtendedHeader(s.extended, s.extendedHeaderSize);
  b.resize(Blocks(b.size()) * kBlockBytes, 0);
  return b;
}
Bytes ExternalHeaderBytes(const RecordSpec& s) {
  Bytes b = s.externalHeader;
  b.resize(Blocks(b.size()) * kBlockBytes, 0);
  return b;
}

std::uint64_t ExtendedHeaderSize(const RecordSpec& s) {
  return Blocks(s.rawExtendedHeader ? s.rawExtendedHeader->size() : s.extendedHeaderSize) * kBlockBytes;
}

float FixedPointValue(std::uint64_t integer, std::uint64_t fractionDigits) {
  return static_cast<float>(static_cast<double>(integer) + static_cast<double>(fractionDigits % 10000) / 10000.0);
}

// Where the bytes go: memory, or a file that may be sought over.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual void Write(std::span<const std::uint8_t> bytes) = 0;
  virtual void Skip(std::uint64_t count) = 0;
};

class MemorySink final : public Sink {
 public:
  explicit MemorySink(Bytes& out) : out_(out) {}
  void Write(std::span<const std::uint8_t> bytes) override { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
  void Skip(std::uint64_t count) override { out_.resize(out_.size() + count, 0); }

 private:
  Bytes& out_;
};

class FileSink final : public Sink {
 public:
  explicit FileSink(const std::filesystem::path& path)
      : out_(path, std::ios::binary | std::ios::out | std::ios::trunc) {}
  void Write(std::span<const std::uint8_t> bytes) override {
    if (bytes.empty()) return;
    if (sought_) {
      out_.seekp(static_cast<std::streamoff>(position_), std::ios::beg);
      sought_ = false;
    }
    out_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    position_ += bytes.size();
  }
  void Skip(std::uint64_t count) override {
    if (count == 0) return;
    position_ += count;
    sought_ = true;
  }
  // A record that ends in a skipped stretch still needs its full length:
  // its last byte is written.
  bool Finish() {
    if (sought_) {
      position_ -= 1;
      const std::uint8_t zero = 0;
      Write({&zero, 1});
    }
    out_.close();
    return !out_.fail();
  }
  bool Opened() const { return out_.is_open(); }

 private:
  std::ofstream out_;
  std::uint64_t position_ = 0;
  bool sought_ = false;
};

void PutSampleBytes(std::span<const float> values, std::uint8_t* out) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(values[i]);
    out[4 * i] = static_cast<std::uint8_t>(bits >> 24);
    out[4 * i + 1] = static_cast<std::uint8_t>(bits >> 16);
    out[4 * i + 2] = static_cast<std::uint8_t>(bits >> 8);
    out[4 * i + 3] = static_cast<std::uint8_t>(bits);
  }
}

TraceSignal SignalOf(const RecordSpec& s, const ChannelSetSpec& set, const TraceSpec& trace, std::uint32_t seed) {
  TraceSignal signal;
  signal.auxiliary = set.header.channelType != kSeismicChannel;
  signal.dead = trace.header.traceEdit == kTraceEditDead;
  const double de = trace.extension2.easting - s.extended.sourceEasting;
  const double dn = trace.extension2.northing - s.extended.sourceNorthing;
  signal.offsetMeters = std::sqrt(de * de + dn * dn);
  // An uphole geophone hears the shot after the uphole time.
  constexpr std::uint64_t kUpholeChannel = 3;
  if (trace.extension1.channelType == kUpholeChannel) signal.pulseSeconds = s.extended.upholeTime / 1000.0;
  signal.intervalSeconds = static_cast<double>(SampleIntervalMicroseconds(s.general1.baseScanInterval)) / 1e6;
  signal.seed = seed;
  return signal;
}

void EmitSamples(const RecordSpec& s, const ChannelSetSpec& set, const TraceSpec& trace, std::uint32_t seed,
                 Sink& sink) {
  const std::uint64_t count = s.samplesPerTrace;
  const std::uint64_t given = trace.samples.size();
  const TraceSignal signal = SignalOf(s, set, trace, seed);
  std::vector<float> values;
  Bytes bytes;
  for (std::uint64_t first = 0; first < count; first += kSamplesPerChunk) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kSamplesPerChunk, count - first));
    bytes.assign(n * kSampleBytes, s.sampleFill == SampleFill::kByte ? s.fillByte : 0);
    if (s.sampleFill == SampleFill::kSynthetic) {
      values.resize(n);
      FillSyntheticSamples(signal, first, values);
      PutSampleBytes(values, bytes.data());
    }
    // Values given with the trace replace the fill.
    if (first < given) {
      const std::size_t m = static_cast<std::size_t>(std::min<std::uint64_t>(n, given - first));
      PutSampleBytes(std::span<const float>(trace.samples).subspan(static_cast<std::size_t>(first), m), bytes.data());
    }
    sink.Write(bytes);
  }
}

void Emit(const RecordSpec& s, Sink& sink, FileMode mode) {
  sink.Write(EncodeGeneralHeader1(s.general1));
  sink.Write(EncodeGeneralHeader2(s.general2));
  sink.Write(EncodeGeneralHeader3(s.general3));
  for (const ChannelSetSpec& set : s.channelSets) sink.Write(EncodeChannelSet(set.header));
  sink.Write(ExtendedHeaderBytes(s));
  sink.Write(ExternalHeaderBytes(s));

  const Block32 zeroBlock{};
  std::uint32_t seed = 0;
  for (const ChannelSetSpec& set : s.channelSets) {
    for (const TraceSpec& trace : set.traces) {
      sink.Write(EncodeTraceHeader(trace.header));
      for (std::uint32_t k = 1; k <= s.traceExtensions; ++k) {
        if (k == 1) {
          sink.Write(EncodeTraceExtension1(trace.extension1));
        } else if (k == 2) {
          sink.Write(EncodeTraceExtension2(trace.extension2));
        } else if (k - 3 < trace.moreExtensions.size()) {
          sink.Write(trace.moreExtensions[k - 3]);
        } else {
          sink.Write(zeroBlock);
        }
      }
      if (mode == FileMode::kSparse) {
        sink.Skip(static_cast<std::uint64_t>(s.samplesPerTrace) * kSampleBytes);
      } else {
        EmitSamples(s, set, trace, seed, sink);
      }
      ++seed;
    }
  }
}

// Derive on a copy when asked, so callers keep their spec.
const RecordSpec& Prepared(const RecordSpec& spec, std::optional<RecordSpec>& copy) {
  if (!spec.derive) return spec;
  copy = spec;
  Derive(*copy);
  return *copy;
}

}  // namespace

void Derive(RecordSpec& s) {
  const std::uint64_t ms = RecordMilliseconds(s);
  const std::uint64_t k = s.traceExtensions;
  const std::uint64_t fileNumberField = s.fileNumber <= 9999 ? s.fileNumber : kAllF;

  GeneralHeader1& g1 = s.general1;
  g1.fileNumber = fileNumberField;
  g1.channelSets = CountField(s.channelSetCountForm, s.channelSets.size(), 99);
  g1.recordLength = CountField(s.recordLengthForm, RecordLengthTenths(ms), 999);
  const std::uint64_t extendedBlocks = ExtendedHeaderSize(s) / kBlockBytes;
  const std::uint64_t externalBlocks = Blocks(s.externalHeader.size());
  g1.extendedHeaderLength = CountField(s.extendedLengthForm, extendedBlocks, 99);
  g1.externalHeaderLength = CountField(s.externalLengthForm, externalBlocks, 99);

  GeneralHeader2& g2 = s.general2;
  g2.expandedFileNumber = s.fileNumber;
  g2.extendedChannelSets = s.channelSets.size();
  g2.extendedHeaderBlocks = extendedBlocks;
  g2.externalHeaderBlocks = externalBlocks;
  g2.extendedRecordLength = ms;
  s.general3.expandedFileNumber = s.fileNumber;

  std::uint32_t total = 0, aux = 0, seis = 0, dead = 0;
  for (ChannelSetSpec& set : s.channelSets) {
    ChannelSetHeader& h = set.header;
    h.channelCount = set.traces.size();
    h.endTime = (ms + 1) / 2;
    h.traceHeaderExtensions = k;
    const bool seismic = h.channelType == kSeismicChannel;
    std::uint64_t number = 0;
    for (TraceSpec& trace : set.traces) {
      TraceHeader& t = trace.header;
      t.fileNumber = fileNumberField;
      t.scanType = h.scanType;
      t.channelSetNumber = h.channelSetNumber;
      t.traceNumber = ++number;
      t.extensionCount = k;
      t.extendedFileNumber = s.fileNumber;
      trace.extension1.samplesPerTrace = s.samplesPerTrace;
      ++total;
      if (!seismic) {
        ++aux;
      } else {
        ++seis;
        if (t.traceEdit == kTraceEditDead) ++dead;
      }
    }
  }

  Sn388ExtendedHeader& x = s.extended;
  x.acquisitionLength = static_cast<std::uint32_t>(ms);
  x.sampleRate = static_cast<std::uint32_t>(SampleIntervalMicroseconds(g1.baseScanInterval));
  x.totalTraces = total;
  x.auxTraces = aux;
  x.seisTraces = seis;
  x.deadSeisTraces = dead;
  x.liveSeisTraces = seis - dead;
  x.samplesPerTrace = s.samplesPerTrace;
  x.traceHeaderExtensions = s.traceExtensions;
  x.sourceLine = FixedPointValue(s.general3.sourceLine, s.general3.sourceLineFraction);
  x.sourcePoint = FixedPointValue(s.general3.sourcePoint, s.general3.sourcePointFraction);
}

RecordLayout LayoutOf(const RecordSpec& s) {
  RecordLayout l;
  l.extendedHeaderOffset = l.channelSetsOffset + kBlockBytes * s.channelSets.size();
  l.extendedHeaderSize = ExtendedHeaderSize(s);
  l.externalHeaderOffset = l.extendedHeaderOffset + l.extendedHeaderSize;
  l.externalHeaderSize = Blocks(s.externalHeader.size()) * kBlockBytes;
  l.firstTraceOffset = l.externalHeaderOffset + l.externalHeaderSize;
  l.traceSize = kTraceHeaderBytes + kBlockBytes * s.traceExtensions + kSampleBytes * s.samplesPerTrace;
  for (const ChannelSetSpec& set : s.channelSets) l.traceCount += set.traces.size();
  l.totalSize = l.TraceOffset(l.traceCount);
  return l;
}

Bytes Compose(const RecordSpec& spec) {
  std::optional<RecordSpec> copy;
  const RecordSpec& s = Prepared(spec, copy);
  Bytes out;
  out.reserve(static_cast<std::size_t>(LayoutOf(s).totalSize));
  MemorySink sink(out);
  Emit(s, sink, FileMode::kFull);
  return out;
}

bool WriteRecordFile(const RecordSpec& spec, const std::filesystem::path& path, FileMode mode) {
  std::optional<RecordSpec> copy;
  const RecordSpec& s = Prepared(spec, copy);
  FileSink sink(path);
  if (!sink.Opened()) return false;
  Emit(s, sink, mode);
  return sink.Finish();
}

}  // namespace segd::writer

#include "tools/segd_record.h"

#include "tools/sample_encoders.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace segd::writer::general {
namespace {

constexpr std::uint64_t kBlock = 32;
constexpr std::uint64_t kTraceHeaderBytes = 20;

void PutBcd(MutableBytes b, int position, int digits, std::uint64_t value) {
  PutDigits(b, 2 * position - 1, digits, Coding::kBcd, value);
}
// A BCD field of `digits` digits: all F when escaped or when the value does
// not fit the digits.
void PutBcdOrF(MutableBytes b, int firstDigit, int digits, std::uint64_t value, bool escape) {
  std::uint64_t largest = 1;
  for (int i = 0; i < digits; ++i) largest *= 10;
  PutDigits(b, firstDigit, digits, Coding::kBcd, escape || value >= largest ? kAllF : value);
}
bool Escaped(bool flag, std::uint64_t value, std::uint64_t largest) { return flag || value > largest; }

void PutSigned(MutableBytes b, int position, int width, std::int64_t value) {
  PutUnsigned(b, position, width, static_cast<std::uint64_t>(value));  // the low bytes: two's complement
}

std::uint32_t SlotsPerScanType(const GeneralRecord& r) {
  std::size_t n = 0;
  for (const ScanType& t : r.scanTypes) n = std::max(n, t.sets.size());
  return static_cast<std::uint32_t>(n);
}

std::uint64_t BaseIntervalMicroseconds(const GeneralRecord& r) { return r.baseScanInterval * 1000ULL / 16; }

std::uint64_t IntervalOf(const GeneralRecord& r, const ChannelSet& s) {
  return s.intervalMicroseconds != 0 ? s.intervalMicroseconds : BaseIntervalMicroseconds(r);
}

// Record length in ms: the longest channel set.
std::uint64_t RecordMilliseconds(const GeneralRecord& r) {
  if (r.extendedRecordLength != 0) return r.extendedRecordLength;
  std::uint64_t longest = 0;
  for (const ScanType& t : r.scanTypes) {
    for (const ChannelSet& s : t.sets) {
      if (s.used) longest = std::max(longest, (s.samples * IntervalOf(r, s) + 999) / 1000);
    }
  }
  return longest;
}

std::uint64_t AdditionalBlocks(const GeneralRecord& r) {
  const std::uint64_t fixed = r.revision.Rev3() ? 2 : 1 + (r.sourceBlock ? 1 : 0);
  return fixed + r.moreGeneralBlocks.size();
}

std::uint64_t DescriptorBytes(const GeneralRecord& r) { return r.revision.Rev3() ? 3 * kBlock : kBlock; }

Bytes GeneralHeader1(const GeneralRecord& r, const GeneralLayout& l, std::uint64_t extBlocks, std::uint64_t extlBlocks) {
  Bytes b(kBlock, 0);
  const Escapes& e = r.escapes;
  const bool rev3 = r.revision.Rev3();
  PutBcdOrF(b, 1, 4, r.fileNumber, e.fileNumber);
  PutBcd(b, 3, 4, r.formatCode);
  PutBytes(b, 5, r.constants);
  PutBcd(b, 11, 2, r.year);
  PutDigits(b, 23, 1, Coding::kBinary, Escaped(rev3 && e.additionalBlocks, l.additionalBlocks, 14) ? 0xF : l.additionalBlocks);
  PutDigits(b, 24, 3, Coding::kBcd, r.julianDay);
  PutBcd(b, 14, 2, r.hour);
  PutBcd(b, 15, 2, r.minute);
  PutBcd(b, 16, 2, r.second);
  PutBcd(b, 17, 2, r.manufacturerCode != 0 ? r.manufacturerCode : ManufacturerCode(r.make));
  PutBcd(b, 18, 4, r.serialNumber);
  PutU8(b, 23, rev3 && e.baseScanInterval ? 0xFF : r.baseScanInterval);
  PutDigits(b, 47, 1, Coding::kBinary, r.polarity);
  PutDigits(b, 51, 1, Coding::kBinary, r.recordType);
  PutBcdOrF(b, 52, 3, r.recordLengthBcd, e.recordLength);
  PutBcd(b, 28, 2, r.scanTypes.size());
  PutBcdOrF(b, 57, 2, SlotsPerScanType(r), e.channelSets);
  PutBcdOrF(b, 59, 2, r.skewBlocks, rev3 && e.skewBlocks);
  PutBcdOrF(b, 61, 2, extBlocks, e.extendedBlocks);
  PutBcdOrF(b, 63, 2, extlBlocks, e.externalBlocks);
  return b;
}

Bytes GeneralHeader2(const GeneralRecord& r, const GeneralLayout& l, std::uint64_t extBlocks, std::uint64_t extlBlocks) {
  Bytes b(kBlock, 0);
  PutU24(b, 1, r.fileNumber);
  PutU16(b, 4, SlotsPerScanType(r));
  PutU8(b, 11, r.revision.major);
  PutU8(b, 12, r.revision.minor);
  if (r.revision.Rev3()) {
    PutU24(b, 6, extBlocks);
    PutU16(b, 9, r.skewBlocks);
    PutU32(b, 13, r.trailerBlocks);
    PutU32(b, 17, RecordMilliseconds(r));
    PutU16(b, 21, r.sequenceNumber);
    PutU16(b, 23, l.additionalBlocks);
    PutU24(b, 25, BaseIntervalMicroseconds(r));
    PutU24(b, 28, extlBlocks);
    PutU8(b, 32, 0x02);
    return b;
  }
  PutU16(b, 6, extBlocks);
  // Fairfield writes the external block count over three bytes.
  if (r.make == Make::kFairfield) {
    PutU24(b, 8, extlBlocks);
  } else {
    PutU16(b, 8, extlBlocks);
  }
  PutU16(b, 13, r.trailerBlocks);
  PutU24(b, 15, RecordMilliseconds(r));
  PutU8(b, 19, 2);
  PutU16(b, 21, r.sequenceNumber);
  return b;
}

Bytes GeneralHeader3(const GeneralRecord& r, const GeneralLayout& l) {
  Bytes b(kBlock, 0);
  if (r.revision.Rev3()) {
    PutUnsigned(b, 1, 8, r.timestamp);
    PutUnsigned(b, 9, 8, l.recordBytes);
    PutUnsigned(b, 17, 8, l.tracesEnd - l.headerBytes);
    PutU32(b, 25, l.headerBytes);
    PutU8(b, 32, 0x03);
    return b;
  }
  PutU24(b, 1, r.fileNumber);
  PutSigned(b, 4, 3, r.sourceLine);
  PutU16(b, 7, r.sourceLineFraction);
  PutSigned(b, 9, 3, r.sourcePoint);
  PutU16(b, 12, r.sourcePointFraction);
  PutU8(b, 14, r.sourcePointIndex);
  PutU8(b, 19, 3);
  PutU8(b, 20, r.sourceSetNumber);
  return b;
}

Bytes Descriptor(const GeneralRecord& r, std::uint32_t scanType, const ChannelSet& s) {
  Bytes b(DescriptorBytes(r), 0);
  if (!s.used) return b;
  const std::uint64_t interval = IntervalOf(r, s);
  if (r.revision.Rev3()) {
    const std::uint64_t end = s.endTime != 0 ? s.endTime : s.startTime + s.samples * interval;
    PutBcd(b, 1, 2, scanType);
    PutU16(b, 2, s.number);
    PutU8(b, 4, s.channelType);
    PutU32(b, 5, s.startTime);
    PutU32(b, 9, end);
    PutU32(b, 13, s.samples);
    // Rev 3 holds the multiplier itself as an IEEE single: 2^MP of `descale`.
    const double mp = (((s.descale >> 8) & 0x7F) * 256 + (s.descale & 0xFF)) / 1024.0;
    PutSingle(b, 17, static_cast<float>(std::exp2(s.descale & 0x8000 ? -mp : mp)));
    PutU24(b, 21, s.channels);
    PutU24(b, 24, interval);
    PutU8(b, 27, s.arrayForming);
    PutU8(b, 28, s.extensions);
    PutDigits(b, 57, 1, Coding::kBinary, s.extendedHeaderFlag);
    PutDigits(b, 58, 1, Coding::kBinary, s.gainControl);
    PutU8(b, 30, s.verticalStack);
    PutU8(b, 31, s.streamer);
    PutU8(b, 32, 0x30);
    MutableBytes b2 = MutableBytes(b).subspan(32, 32);
    PutU32(b2, 1, s.aliasFrequency);
    PutU32(b2, 5, s.lowCutFrequency);
    PutU32(b2, 9, s.aliasSlope);
    PutU32(b2, 13, s.lowCutSlope);
    PutU32(b2, 17, s.notch1);
    PutU32(b2, 21, s.notch2);
    PutU32(b2, 25, s.notch3);
    PutU8(b2, 32, 0x31);
    MutableBytes b3 = MutableBytes(b).subspan(64, 32);
    PutText(b3, 5, 27, s.description, '\0');
    PutU8(b3, 32, 0x32);
    return b;
  }
  const std::uint64_t end = s.endTime != 0 ? s.endTime : s.startTime + (s.samples * interval + 1999) / 2000;
  PutDigits(b, 1, 2, Coding::kBcd, scanType);
  PutDigits(b, 3, 2, Coding::kBcd, s.number <= 99 ? s.number : kAllF);
  PutU16(b, 3, s.startTime);
  PutU16(b, 5, end);
  PutU8(b, 7, s.descale & 0xFF);
  PutU8(b, 8, s.descale >> 8);
  PutBcd(b, 9, 4, s.channels);
  PutDigits(b, 21, 1, Coding::kBinary, s.channelType);
  PutDigits(b, 23, 1, Coding::kBinary, s.subscanExponent);
  PutDigits(b, 24, 1, Coding::kBinary, s.gainControl);
  PutBcd(b, 13, 4, s.aliasFrequency);
  PutBcd(b, 15, 4, s.aliasSlope);
  PutBcd(b, 17, 4, s.lowCutFrequency);
  PutBcd(b, 19, 4, s.lowCutSlope);
  PutBcd(b, 21, 4, s.notch1);
  PutBcd(b, 23, 4, s.notch2);
  PutBcd(b, 25, 4, s.notch3);
  PutU16(b, 27, s.number);
  PutDigits(b, 57, 1, Coding::kBinary, s.extendedHeaderFlag);
  PutDigits(b, 58, 1, Coding::kBinary, s.extensions);
  PutU8(b, 30, s.verticalStack);
  PutU8(b, 31, s.streamer);
  PutU8(b, 32, s.arrayForming);
  return b;
}

// Skew blocks hold a skew byte per channel; any bytes do for the walk.
Bytes SkewBlock(std::uint32_t scanType, std::uint32_t n) {
  Bytes b(kBlock, 0);
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(scanType * 16 + n + i);
  return b;
}

Block32 TrailerBlock(const GeneralRecord& r, std::uint32_t number) {
  Block32 b{};
  PutU16(b, 1, number);
  if (r.revision.Rev3()) PutU8(b, 32, 0x70);
  return b;
}

// Rev 3 standard trace header extensions after the first, by byte 32.
constexpr std::uint8_t kRev3ExtensionTypes[] = {0x41, 0x42, 0x43, 0x44, 0x50, 0x51, 0x52, 0x60, 0x61};

void PutMakeField(MutableBytes b, const MakeTraceField& f, double v) {
  switch (f.coding) {
    case FieldCoding::kUnsigned: PutUnsigned(b, f.byte, f.width, static_cast<std::uint64_t>(v)); break;
    case FieldCoding::kSigned: PutSigned(b, f.byte, f.width, static_cast<std::int64_t>(v)); break;
    case FieldCoding::kSingle: PutSingle(b, f.byte, static_cast<float>(v)); break;
    case FieldCoding::kDouble: PutDouble(b, f.byte, v); break;
    case FieldCoding::kFixed: {
      // The fraction takes the integer part's sign (-155.29 is -155 and
      // 0.29), as SmartSolo writes its longitudes.
      const double whole = std::trunc(v);
      PutSigned(b, f.byte, f.width - 2, static_cast<std::int64_t>(whole));
      PutU16(b, f.byte + f.width - 2, static_cast<std::uint64_t>(std::abs(v - whole) * 65536.0));
      break;
    }
  }
}

class Sink {
 public:
  virtual ~Sink() = default;
  virtual void Write(std::span<const std::uint8_t> bytes) = 0;
};

class MemorySink final : public Sink {
 public:
  explicit MemorySink(Bytes& out) : out_(out) {}
  void Write(std::span<const std::uint8_t> bytes) override { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

 private:
  Bytes& out_;
};

class FileSink final : public Sink {
 public:
  explicit FileSink(const std::filesystem::path& path) : out_(path, std::ios::binary | std::ios::trunc) {}
  void Write(std::span<const std::uint8_t> bytes) override {
    out_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  bool Opened() const { return out_.is_open(); }
  bool Finish() {
    out_.close();
    return !out_.fail();
  }

 private:
  std::ofstream out_;
};

// Drops every byte past `limit`: the cut copy.
class CutSink final : public Sink {
 public:
  CutSink(Sink& to, std::uint64_t limit) : to_(to), left_(limit) {}
  void Write(std::span<const std::uint8_t> bytes) override {
    const std::uint64_t n = std::min<std::uint64_t>(left_, bytes.size());
    if (n > 0) to_.Write(bytes.first(static_cast<std::size_t>(n)));
    left_ -= n;
  }

 private:
  Sink& to_;
  std::uint64_t left_;
};

void Emit(const GeneralRecord& r, Sink& sink) {
  const GeneralLayout l = LayoutOfGeneral(r);
  const Bytes extended = ExtendedHeaderOf(r);
  const Bytes external = ExternalHeaderOf(r);
  const std::uint64_t extBlocks = extended.size() / kBlock, extlBlocks = external.size() / kBlock;

  sink.Write(GeneralHeader1(r, l, extBlocks, extlBlocks));
  sink.Write(GeneralHeader2(r, l, extBlocks, extlBlocks));
  if (r.revision.Rev3() || r.sourceBlock) sink.Write(GeneralHeader3(r, l));
  for (const Block32& b : r.moreGeneralBlocks) sink.Write(b);
  for (std::uint32_t t = 0; t < r.scanTypes.size(); ++t) {
    const ScanType& type = r.scanTypes[t];
    for (std::uint32_t i = 0; i < SlotsPerScanType(r); ++i) {
      sink.Write(Descriptor(r, t + 1, i < type.sets.size() ? type.sets[i] : UnusedSlot()));
    }
    for (std::uint32_t n = 0; n < r.skewBlocks; ++n) sink.Write(SkewBlock(t + 1, n));
  }
  sink.Write(extended);
  sink.Write(external);

  const bool rev3 = r.revision.Rev3();
  const Escapes& e = r.escapes;
  const auto& fields = MakeTraceFields(r.make, r.revision);
  Bytes samples;
  std::vector<double> values;
  ForEachTrace(r, [&](const TracePlace& p) {
    const TraceValues v = TraceValuesAt(r, p);
    Bytes h(kTraceHeaderBytes + kBlock * p.extensions, 0);
    MutableBytes th(h.data(), kTraceHeaderBytes);
    PutBcdOrF(th, 1, 4, r.fileNumber, e.fileNumber);
    PutBcd(th, 3, 2, p.scanType);
    PutBcdOrF(th, 7, 2, p.channelSet, e.traceChannelSet);
    PutBcdOrF(th, 9, 4, p.channel, rev3 && e.traceNumber);
    PutU24(th, 7, v.firstTimingWord);
    PutU8(th, 11, v.sampleSkew);
    PutU8(th, 12, v.traceEdit);
    PutU24(th, 13, v.timeBreakWindow);
    PutU16(th, 16, p.channelSet);
    PutU24(th, 18, r.fileNumber);
    for (std::uint32_t k = 1; k <= p.extensions; ++k) {
      MutableBytes x(h.data() + kTraceHeaderBytes + kBlock * (k - 1), kBlock);
      if (k == 1) {
        PutU24(x, 1, e.receiverLine ? 0xFFFFFF : v.receiverLine);
        PutU24(x, 4, e.receiverPoint ? 0xFFFFFF : v.receiverPoint);
        PutU8(x, 7, v.receiverIndex);
        PutSigned(x, 11, 3, v.extendedReceiverLine);
        PutU16(x, 14, v.extendedReceiverLineFraction);
        PutSigned(x, 16, 3, v.extendedReceiverPoint);
        PutU16(x, 19, v.extendedReceiverPointFraction);
        PutU8(x, 21, v.sensorType);
        if (rev3) {
          PutU8(x, 8, v.reshootIndex);
          PutU8(x, 9, v.groupIndex);
          PutU8(x, 10, v.depthIndex);
          PutU24(x, 22, p.channel);
          PutU32(x, 25, p.samples);
          PutU8(x, 29, v.sensorMoving);
          PutU8(x, 31, v.physicalUnit);
          PutU8(x, 32, 0x40);
        } else {
          PutU24(x, 8, p.samples);
        }
      } else if (rev3) {
        PutU8(x, 32, kRev3ExtensionTypes[(k - 2) % std::size(kRev3ExtensionTypes)]);
      } else {
        for (std::size_t i = 0; i < fields.size(); ++i) {
          if (fields[i].extension == static_cast<int>(k)) PutMakeField(x, fields[i], MakeFieldValue(fields[i], i, p.index));
        }
      }
    }
    // The trace states its extension count unless the set's count is to stand.
    PutU8(th, 10, p.countInTrace ? p.extensions : 0);
    sink.Write(h);
    samples.assign(static_cast<std::size_t>(SampleDataBytes(r.formatCode, p.samples)), 0);
    if (r.sampleValues) {
      values.assign(p.samples, 0.0);
      r.sampleValues(p, values);
      EncodeSamples(r.formatCode, values, samples.data());
    } else if (r.sampleFill == SampleFill::kPattern) {
      for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint8_t>(i);
    }
    sink.Write(samples);
  });
  for (std::uint32_t n = 1; n <= r.trailerBlocks; ++n) sink.Write(TrailerBlock(r, n));

  // Padding: zero bytes, or trailer blocks the header does not count.
  Bytes pad(static_cast<std::size_t>(r.padBytes), 0);
  if (r.padKind == PadKind::kTrailer) {
    for (std::size_t at = 0; at < pad.size(); at += kBlock) {
      const Block32 b = TrailerBlock(r, static_cast<std::uint32_t>(r.trailerBlocks + 1 + at / kBlock));
      std::copy_n(b.begin(), std::min<std::size_t>(kBlock, pad.size() - at), pad.begin() + static_cast<std::ptrdiff_t>(at));
    }
  }
  sink.Write(pad);
}

}  // namespace

Escapes Escapes::All() {
  Escapes e;
  e.fileNumber = e.recordLength = e.channelSets = e.extendedBlocks = e.externalBlocks = true;
  e.traceChannelSet = e.receiverLine = e.receiverPoint = true;
  e.skewBlocks = e.additionalBlocks = e.baseScanInterval = e.traceNumber = true;
  return e;
}

std::uint64_t SampleDataBytes(std::uint32_t formatCode, std::uint64_t samples) {
  switch (formatCode) {
    case 8015: return (samples + 3) / 4 * 10;
    case 8022: case 8042: return samples;
    case 8024: case 8044: return 2 * samples;
    case 8036: case 9036: return 3 * samples;
    case 8038: case 8048: case 8058: case 9038: case 9058: return 4 * samples;
    case 8080: case 9080: return 8 * samples;
    default: return 0;
  }
}

std::uint32_t ExtensionsOf(const ChannelSet& set) { return set.extensions; }

void ForEachTrace(const GeneralRecord& r, const std::function<void(const TracePlace&)>& visit) {
  const GeneralLayout l = LayoutOfGeneral(r);
  TracePlace p;
  p.byteOffset = l.headerBytes;
  for (std::uint32_t t = 0; t < r.scanTypes.size(); ++t) {
    for (const ChannelSet& s : r.scanTypes[t].sets) {
      if (!s.used) continue;
      p.scanType = t + 1;
      p.channelSet = s.number;
      p.samples = s.samples;
      p.extensions = ExtensionsOf(s);
      p.countInTrace = s.extensionCountInTrace;
      for (std::uint32_t c = 1; c <= s.channels; ++c) {
        p.channel = c;
        visit(p);
        ++p.index;
        p.byteOffset += kTraceHeaderBytes + kBlock * p.extensions + SampleDataBytes(r.formatCode, p.samples);
      }
    }
  }
}

TraceValues TraceValuesAt(const GeneralRecord& r, const TracePlace& p) {
  const std::uint64_t i = p.index;
  TraceValues v;
  v.firstTimingWord = static_cast<std::uint32_t>((i * 3 + 1) & 0xFFFFFF);
  v.sampleSkew = static_cast<std::uint8_t>(i % 251);
  v.traceEdit = i % 5 == 3 ? 2 : 0;
  v.timeBreakWindow = static_cast<std::uint32_t>(1000 + i);
  v.receiverLine = 100 + p.scanType * 10 + p.channelSet;
  v.receiverPoint = static_cast<std::uint32_t>(1000 + i);
  v.receiverIndex = static_cast<std::uint8_t>(1 + i % 3);
  v.extendedReceiverLine = static_cast<std::int32_t>((i % 2 == 1 ? -1 : 1) * static_cast<std::int64_t>(200 + i));
  v.extendedReceiverLineFraction = static_cast<std::uint16_t>(i % 4 * 0x4000);
  v.extendedReceiverPoint = static_cast<std::int32_t>(5000 + i);
  v.extendedReceiverPointFraction = static_cast<std::uint16_t>((i + 1) % 4 * 0x4000);
  v.sensorType = static_cast<std::uint8_t>(i % 10);
  if (r.revision.Rev3()) {
    v.reshootIndex = static_cast<std::uint8_t>(i % 3);
    v.groupIndex = static_cast<std::uint8_t>(i % 4);
    v.depthIndex = static_cast<std::uint8_t>(i % 5);
    v.sensorMoving = static_cast<std::uint8_t>(i % 2);
    v.physicalUnit = static_cast<std::uint8_t>(i % 7);
  }
  return v;
}

GeneralLayout LayoutOfGeneral(const GeneralRecord& r) {
  GeneralLayout l;
  l.additionalBlocks = AdditionalBlocks(r);
  const std::uint64_t descriptors = r.scanTypes.size() * (SlotsPerScanType(r) * DescriptorBytes(r) + r.skewBlocks * kBlock);
  l.headerBytes = kBlock * (1 + l.additionalBlocks) + descriptors + ExtendedHeaderOf(r).size() + ExternalHeaderOf(r).size();
  l.tracesEnd = l.headerBytes;
  for (const ScanType& t : r.scanTypes) {
    for (const ChannelSet& s : t.sets) {
      if (!s.used) continue;
      l.traces += s.channels;
      l.tracesEnd += s.channels * (kTraceHeaderBytes + kBlock * ExtensionsOf(s) + SampleDataBytes(r.formatCode, s.samples));
    }
  }
  l.recordBytes = l.tracesEnd + kBlock * r.trailerBlocks;
  l.fileBytes = r.cutAt ? std::min(*r.cutAt, l.recordBytes + r.padBytes) : l.recordBytes + r.padBytes;
  return l;
}

Bytes ComposeGeneral(const GeneralRecord& r) {
  Bytes out;
  out.reserve(static_cast<std::size_t>(LayoutOfGeneral(r).fileBytes));
  MemorySink memory(out);
  CutSink cut(memory, r.cutAt.value_or(~std::uint64_t{0}));
  Emit(r, cut);
  return out;
}

bool WriteGeneralFile(const GeneralRecord& r, const std::filesystem::path& path) {
  FileSink file(path);
  if (!file.Opened()) return false;
  CutSink cut(file, r.cutAt.value_or(~std::uint64_t{0}));
  Emit(r, cut);
  return file.Finish();
}

}  // namespace segd::writer::general

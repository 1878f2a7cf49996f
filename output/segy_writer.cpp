#include "output/segy_writer.h"

#include "scan/samples/utc_time.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <span>

namespace segd::output {
namespace {

constexpr std::size_t kTextBytes = 3200;
constexpr std::size_t kBinaryBytes = 400;
constexpr std::size_t kTraceHeaderBytes = 240;
// Revision 2's header names, 8 ASCII bytes: the standard trace header's and
// trace header extension 1's (bytes 233-240 of each).
constexpr std::int64_t kStandardHeaderName = 0x5345473030303030;  // "SEG00000"
constexpr std::int64_t kExtension1Name = 0x5345473030303031;      // "SEG00001"
constexpr int kFormatIeee = 5;

void PutBig(char* at, std::uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    at[i] = static_cast<char>(value & 0xFF);
    value >>= 8;
  }
}
// A 1-based SEG-Y byte position within a header.
void Put(std::vector<char>& header, int firstByte, int width, std::int64_t value) {
  PutBig(header.data() + firstByte - 1, static_cast<std::uint64_t>(value), width);
}

std::int64_t Clamp(double v, int width) {
  const double most = width == 2 ? 32767.0 : 2147483647.0;
  if (!std::isfinite(v)) return 0;
  return static_cast<std::int64_t>(std::llround(std::fmax(-most, std::fmin(most, v))));
}

// The SEG-Y scalar that keeps `values` exact where it can: 1 for whole
// numbers, -10..-10000 for decimals, 10..10000 for values too large for 32
// bits. Applies to every value it is chosen for.
struct Scaled {
  int scalar = 1;
  double Apply(double v) const { return scalar < 0 ? v * -scalar : v / scalar; }
};
Scaled ChooseScalar(std::initializer_list<std::optional<double>> values) {
  for (int divisor = 1; divisor <= 10000; divisor *= 10) {
    bool fits = true;
    for (const auto& v : values) {
      if (!v) continue;
      const double scaled = *v * divisor;
      if (std::fabs(scaled) > 2147483647.0) return {divisor == 1 ? 1 : -divisor / 10};
      if (std::fabs(scaled - std::round(scaled)) > 1e-6 + 1e-15 * std::fabs(scaled)) fits = false;
    }
    if (fits) return {divisor == 1 ? 1 : -divisor};
  }
  bool tooLarge = false;
  for (const auto& v : values) tooLarge = tooLarge || (v && std::fabs(*v * 10000) > 2147483647.0);
  if (!tooLarge) return {-10000};
  for (int multiplier = 10; multiplier <= 10000; multiplier *= 10) {
    bool fits = true;
    for (const auto& v : values) fits = fits && (!v || std::fabs(*v / multiplier) <= 2147483647.0);
    if (fits) return {multiplier};
  }
  return {10000};
}

// SEG-D channel type to SEG-Y trace identification.
int TraceIdentification(const ExportTrace& t) {
  if (t.dead) return 2;
  switch (t.channelType) {
    case 1: return 1;  // seismic
    case 2: return 4;  // time break
    case 3: return 5;  // uphole
    case 4: return 8;  // water break
    case 5: return 7;  // time counter: timing
    default: return 3;  // other auxiliary
  }
}

int TimeBasisCode(const std::optional<StartTime>& start) {
  if (!start) return 0;
  return start->basis == TimeBasis::Utc ? 4 : start->basis == TimeBasis::GeneralHeader ? 1 : 3;
}

using Calendar = samples::CivilTime;

// A trace's values as they go into its header: scalars chosen, coordinates
// in the header's units.
struct Prepared {
  const ExportTrace& t;
  std::int64_t sequence;
  Scaled elevation, coordinate, point;
  std::optional<double> sx, sy, rx, ry;
  std::optional<Calendar> time;  // of time zero
};

using Getter = std::int64_t (*)(const Prepared&);
struct TraceField {
  int first;  // 1-based byte
  int width;
  const char* what;  // for the textual header and README
  Getter get;
};

std::int64_t Opt(const std::optional<double>& v, int width, const Scaled& s = {}) {
  return v ? Clamp(s.Apply(*v), width) : 0;
}

// A sample count as 16 bits hold it: zero past 65,535, where revision 2's
// 32-bit fields (binary header 3269, trace header extension 1 137) hold it.
std::int64_t StandardSamples(std::size_t samples) {
  return samples <= std::size_t(kSegyStandardHeaderMostSamples) ? std::int64_t(samples) : 0;
}

// The trace header byte map: one row per field, written in this order.
const TraceField kSegyTraceMap[] = {
    {1, 4, "sequence in line", [](const Prepared& p) { return p.sequence; }},
    {5, 4, "sequence in file", [](const Prepared& p) { return p.sequence; }},
    {9, 4, "file number", [](const Prepared& p) { return p.t.fileNumber.value_or(0); }},
    {13, 4, "trace number in channel set", [](const Prepared& p) { return p.t.traceNumber; }},
    {17, 4, "source point", [](const Prepared& p) { return Opt(p.t.sourcePoint, 4); }},
    {25, 4, "channel set", [](const Prepared& p) { return p.t.channelSet; }},
    {29, 2, "trace id (1 seis 2 dead 3 aux 4 tb 5 uphole 7 timing 8 wb)",
     [](const Prepared& p) -> std::int64_t { return TraceIdentification(p.t); }},
    {35, 2, "data use (1 production)", [](const Prepared&) -> std::int64_t { return 1; }},
    {41, 4, "receiver elevation", [](const Prepared& p) { return Opt(p.t.receiverElevation, 4, p.elevation); }},
    {45, 4, "source elevation", [](const Prepared& p) { return Opt(p.t.sourceElevation, 4, p.elevation); }},
    {69, 2, "elevation scalar", [](const Prepared& p) -> std::int64_t { return p.elevation.scalar; }},
    {71, 2, "coordinate scalar", [](const Prepared& p) -> std::int64_t { return p.coordinate.scalar; }},
    {73, 4, "source x", [](const Prepared& p) { return Opt(p.sx, 4, p.coordinate); }},
    {77, 4, "source y", [](const Prepared& p) { return Opt(p.sy, 4, p.coordinate); }},
    {81, 4, "receiver x", [](const Prepared& p) { return Opt(p.rx, 4, p.coordinate); }},
    {85, 4, "receiver y", [](const Prepared& p) { return Opt(p.ry, 4, p.coordinate); }},
    {89, 2, "coordinate units (1 m, 2 arc s)", [](const Prepared& p) -> std::int64_t { return p.t.geographic ? 2 : 1; }},
    {109, 2, "delay ms (channel set start)", [](const Prepared& p) { return Clamp(double(p.t.delayMs), 2); }},
    {115, 2, "samples", [](const Prepared& p) -> std::int64_t { return StandardSamples(p.t.samples.size()); }},
    {117, 2, "interval us", [](const Prepared& p) -> std::int64_t { return p.t.intervalUs; }},
    {121, 2, "gain dB", [](const Prepared& p) { return Opt(p.t.gainDb, 2); }},
    {141, 2, "alias filter Hz", [](const Prepared& p) { return Opt(p.t.aliasHz, 2); }},
    {143, 2, "alias slope dB/oct", [](const Prepared& p) { return Opt(p.t.aliasSlope, 2); }},
    {149, 2, "low-cut Hz", [](const Prepared& p) { return Opt(p.t.lowCutHz, 2); }},
    {153, 2, "low-cut slope dB/oct", [](const Prepared& p) { return Opt(p.t.lowCutSlope, 2); }},
    {157, 2, "year of time zero", [](const Prepared& p) -> std::int64_t { return p.time ? p.time->year : 0; }},
    {159, 2, "day of year", [](const Prepared& p) -> std::int64_t { return p.time ? p.time->yearDay : 0; }},
    {161, 2, "hour", [](const Prepared& p) -> std::int64_t { return p.time ? p.time->hour : 0; }},
    {163, 2, "minute", [](const Prepared& p) -> std::int64_t { return p.time ? p.time->minute : 0; }},
    {165, 2, "second", [](const Prepared& p) -> std::int64_t { return p.time ? p.time->second : 0; }},
    {167, 2, "time basis (4 UTC/GPS, 1 local/header)", [](const Prepared& p) -> std::int64_t { return TimeBasisCode(p.t.start); }},
    {189, 4, "receiver line", [](const Prepared& p) { return Opt(p.t.receiverLine, 4); }},
    {193, 4, "receiver point", [](const Prepared& p) { return Opt(p.t.receiverPoint, 4); }},
    {197, 4, "source point (scaled)", [](const Prepared& p) { return Opt(p.t.sourcePoint, 4, p.point); }},
    {201, 2, "source point scalar", [](const Prepared& p) -> std::int64_t { return p.point.scalar; }},
};

// Revision 2 traces of more than 65,535 samples: the standard header names
// itself and trace header extension 1 follows it (bytes 241-480 here), with
// the count of samples and the 64-bit forms of the sequence and file numbers.
const TraceField kSegyExtensionMap[] = {
    {233, 8, "header name SEG00000", [](const Prepared&) { return kStandardHeaderName; }},
    {240 + 1, 8, "sequence in line", [](const Prepared& p) { return p.sequence; }},
    {240 + 9, 8, "sequence in file", [](const Prepared& p) { return p.sequence; }},
    {240 + 17, 8, "file number", [](const Prepared& p) { return p.t.fileNumber.value_or(0); }},
    {240 + 137, 4, "samples", [](const Prepared& p) { return std::int64_t(p.t.samples.size()); }},
    {240 + 233, 8, "header name SEG00001", [](const Prepared&) { return kExtension1Name; }},
};

// True when a file of `record` needs trace header extension 1.
bool Extended(const ExportRecord& record, const SegyOptions& options) {
  return options.revision == 2 && record.samplesPerTrace > kSegyStandardHeaderMostSamples;
}

std::string Pad(std::string line) {
  for (char& c : line) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  line.resize(80, ' ');
  return line;
}

std::string IsoTime(std::int64_t microseconds) { return samples::FormatUtc(microseconds); }

std::int64_t TracesInFile(const ExportRecord& r, const SegyOptions& o) {
  return r.seismicTraces + (o.seismicOnly ? 0 : r.auxiliaryTraces);
}

}  // namespace

char ToEbcdic(char ascii) {
  // Code page 037 for 0x20..0x7E.
  static constexpr unsigned char kTable[95] = {
      0x40, 0x5A, 0x7F, 0x7B, 0x5B, 0x6C, 0x50, 0x7D, 0x4D, 0x5D, 0x5C, 0x4E, 0x6B, 0x60, 0x4B, 0x61,  // ' '../
      0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x7A, 0x5E, 0x4C, 0x7E, 0x6E, 0x6F,  // 0..?
      0x7C, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6,  // @..O
      0xD7, 0xD8, 0xD9, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xBA, 0xE0, 0xBB, 0xB0, 0x6D,  // P.._
      0x79, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96,  // `..o
      0x97, 0x98, 0x99, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xC0, 0x4F, 0xD0, 0xA1,        // p..~
  };
  const auto c = static_cast<unsigned char>(ascii);
  return static_cast<char>(c >= 0x20 && c <= 0x7E ? kTable[c - 0x20] : 0x6F);
}

std::optional<std::string> SegyRefusal(const ExportRecord& record, const SegyOptions& options) {
  if (options.revision != 1 && options.revision != 2) return "SEG-Y revision " + std::to_string(options.revision) + " is not written (1 or 2)";
  if (options.revision == 1 && record.samplesPerTrace > kSegyRev1MostSamples) {
    return "the record has " + std::to_string(record.samplesPerTrace) +
           " samples per trace, more than SEG-Y revision 1 holds (32,767): use --segy-revision 2";
  }
  if (record.samplesPerTrace > kSegyRev2MostSamples) {
    return "the record has " + std::to_string(record.samplesPerTrace) +
           " samples per trace, more than SEG-Y revision 2 holds (4,294,967,295)";
  }
  if (record.intervalUs <= 0 || record.intervalUs > 65535 || (options.revision == 1 && record.intervalUs > 32767)) {
    return "the sample interval (" + std::to_string(record.intervalUs) + " us) cannot be written in SEG-Y";
  }
  return std::nullopt;
}

std::vector<std::string> SegyTextLines(const ExportRecord& r, const SegyOptions& o) {
  std::vector<std::string> body;
  body.push_back("SEG-Y from a SEG-D record, written by segdreport " + r.toolVersion);
  std::string path = r.path;
  if (path.size() > 64) path = "..." + path.substr(path.size() - 61);
  body.push_back("Record " + path);
  body.push_back("Size " + std::to_string(r.sizeBytes) + " bytes, SEG-D revision " +
                 (r.revision.empty() ? "none" : r.revision) + ", make " + r.manufacturer + ", format " +
                 std::to_string(r.formatCode));
  body.push_back("File number " + (r.fileNumber ? std::to_string(*r.fileNumber) : std::string("none")));
  if (r.start) {
    body.push_back(std::string(r.start->basis == TimeBasis::Utc ? "UTC time zero " : "Time zero (not UTC) ") +
                   IsoTime(r.start->microseconds));
    body.push_back("  from " + r.start->source);
  } else {
    body.push_back("Time zero: none in the record");
    body.push_back("");
  }
  body.push_back("Interval " + std::to_string(r.intervalUs) + " us, " + std::to_string(r.samplesPerTrace) +
                 " samples per trace");
  body.push_back("Traces: " + std::to_string(r.seismicTraces) + " seismic, " + std::to_string(r.auxiliaryTraces) +
                 " auxiliary" + (o.seismicOnly ? " (auxiliary not written)" : ""));
  body.push_back("Samples IEEE float (format 5), scaling " + r.scaling + ", units " + r.units);
  // A map's rows, wrapped; extension 1's bytes counted from its own start.
  const auto list = [&body](std::span<const TraceField> map) {
    std::string line;
    for (const TraceField& f : map) {
      const int first = f.first > int(kTraceHeaderBytes) ? f.first - int(kTraceHeaderBytes) : f.first;
      const std::string item = std::string(f.first > int(kTraceHeaderBytes) ? "ext " : "") + std::to_string(first) +
                               "-" + std::to_string(first + f.width - 1) + " " + f.what;
      if (!line.empty() && line.size() + 2 + item.size() > 75) {
        body.push_back(" " + line);
        line.clear();
      }
      line += (line.empty() ? "" : "; ") + item;
    }
    if (!line.empty()) body.push_back(" " + line);
  };
  body.push_back("Trace header bytes (1-based, big-endian):");
  list(kSegyTraceMap);
  if (Extended(r, o)) {
    body.push_back("Over 65,535 samples: 115-116 and 3221-3224 hold 0, and trace header");
    body.push_back("extension 1 (ext) follows each trace header:");
    list(kSegyExtensionMap);
  }
  body.push_back("Coordinates, elevations and source point scaled by their scalars");
  body.push_back("(negative: divide), chosen per trace to keep the record's digits.");

  std::vector<std::string> lines;
  for (std::size_t i = 0; i < 38; ++i) {
    char prefix[5];
    std::snprintf(prefix, sizeof prefix, "C%2zu ", i + 1);
    lines.push_back(Pad(prefix + (i < body.size() ? body[i] : std::string())));
  }
  lines.push_back(Pad(o.revision == 2 ? "C39 SEG-Y_REV2.0" : "C39 SEG Y REV1"));
  lines.push_back(Pad("C40 END TEXTUAL HEADER"));
  return lines;
}

bool SegyWriter::Begin(const ExportRecord& record, std::string& error) {
  if (auto refusal = SegyRefusal(record, options_)) {
    error = *refusal;
    return false;
  }
  begun_ = true;
  extended_ = Extended(record, options_);
  std::vector<char> text;
  text.reserve(kTextBytes);
  for (const std::string& line : SegyTextLines(record, options_)) {
    for (char c : line) text.push_back(ToEbcdic(c));
  }
  text.resize(kTextBytes, ToEbcdic(' '));
  Write(text);

  std::vector<char> b(kBinaryBytes, 0);
  auto at = [](int fileByte) { return fileByte - 3200; };
  const std::int64_t aux = options_.seismicOnly ? 0 : record.auxiliaryTraces;
  const auto small = [](std::int64_t v) { return v <= 32767 ? v : 0; };
  Put(b, at(3201), 4, 1);  // job
  Put(b, at(3209), 4, record.fileNumber.value_or(0));  // reel: the file number
  Put(b, at(3213), 2, small(record.seismicTraces));
  Put(b, at(3215), 2, small(aux));
  Put(b, at(3217), 2, record.intervalUs);
  Put(b, at(3219), 2, record.intervalUs);
  Put(b, at(3221), 2, StandardSamples(std::size_t(record.samplesPerTrace)));
  Put(b, at(3223), 2, StandardSamples(std::size_t(record.samplesPerTrace)));
  Put(b, at(3225), 2, kFormatIeee);
  Put(b, at(3227), 2, 1);   // fold
  Put(b, at(3229), 2, 1);   // sorting: as recorded
  Put(b, at(3255), 2, 1);   // metres
  Put(b, at(3503), 2, 1);   // fixed trace length
  if (options_.revision == 2) {
    Put(b, at(3261), 4, record.seismicTraces);
    Put(b, at(3265), 4, aux);
    Put(b, at(3269), 4, record.samplesPerTrace);
    Put(b, at(3273), 8, std::bit_cast<std::int64_t>(double(record.intervalUs)));
    Put(b, at(3281), 8, std::bit_cast<std::int64_t>(double(record.intervalUs)));
    Put(b, at(3289), 4, record.samplesPerTrace);
    Put(b, at(3293), 4, 1);
    Put(b, at(3297), 4, 0x01020304);
    Put(b, at(3501), 1, 2);
    Put(b, at(3502), 1, 0);
    Put(b, at(3507), 4, extended_ ? 1 : 0);  // additional trace headers
    Put(b, at(3511), 2, TimeBasisCode(record.start));
    Put(b, at(3513), 8, TracesInFile(record, options_));
    Put(b, at(3521), 8, kTextBytes + kBinaryBytes);
  } else {
    Put(b, at(3501), 2, 0x0100);
  }
  Write(b);
  return true;
}

void SegyWriter::Trace(const ExportTrace& t) {
  if (!begun_ || (options_.seismicOnly && IsAuxiliary(t))) return;
  const std::size_t samples = std::min<std::size_t>(t.samples.size(), std::size_t(kSegyRev2MostSamples));
  const std::size_t headerBytes = kTraceHeaderBytes * (extended_ ? 2 : 1);
  buffer_.assign(headerBytes + 4 * samples, 0);

  const double arc = t.geographic ? 3600.0 : 1.0;  // degrees to arc seconds
  const auto times = [arc](const std::optional<double>& v) { return v ? std::optional<double>(*v * arc) : v; };
  Prepared p{t, written_ + 1, ChooseScalar({t.receiverElevation, t.sourceElevation}), {}, ChooseScalar({t.sourcePoint}),
             times(t.sourceX), times(t.sourceY), times(t.receiverX), times(t.receiverY), {}};
  p.coordinate = ChooseScalar({p.sx, p.sy, p.rx, p.ry});
  if (t.start) p.time = samples::CivilOf(t.start->microseconds - t.delayMs * 1000);  // time zero
  for (const TraceField& f : kSegyTraceMap) Put(buffer_, f.first, f.width, f.get(p));
  if (extended_) {
    for (const TraceField& f : kSegyExtensionMap) Put(buffer_, f.first, f.width, f.get(p));
  }

  char* out = buffer_.data() + headerBytes;
  // Big-endian floats: a whole-word swap the compiler vectorises (a byte
  // loop here took a quarter of the export's time).
  for (std::size_t i = 0; i < samples; ++i) {
    std::uint32_t word = std::bit_cast<std::uint32_t>(t.samples[i]);
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap32(word);
    std::memcpy(out + 4 * i, &word, 4);
  }
  Write(buffer_);
  ++written_;
}

void SegyWriter::Write(const std::vector<char>& bytes) {
  if (ok_ && !sink_.Write(bytes.data(), bytes.size())) ok_ = false;
}

bool SegyWriter::Finish() {
  const bool closed = sink_.Close();
  return ok_ && closed && begun_;
}

}  // namespace segd::output

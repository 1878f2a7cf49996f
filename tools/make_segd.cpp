// Writes a general SEG-D record (any revision, make and format) to a file,
// for the batch tests and the benchmark. The record is streamed: a record
// of 99,999 traces needs no more memory than one trace.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/segd_record.h"
#include "tools/synthetic_samples.h"

namespace {

using namespace segd::writer::general;

constexpr const char* kUsage =
    "usage: make_segd [OPTIONS] OUTPUT\n"
    "Writes a general SEG-D record to OUTPUT.\n"
    "  --rev R         revision: 1.0, 2.1, 3.0, 3.1 or any MAJOR.MINOR (default 2.1)\n"
    "  --make M        sercel, smartsolo, fairfield or other (default other)\n"
    "  --format F      sample format code: 8015 8022 8024 8036 8038 8042 8044 8048 8058\n"
    "                  8080 9036 9038 9058 9080 (default 8058)\n"
    "  --traces N      number of traces, spread over the make's channel sets (default 12)\n"
    "  --samples N     samples per trace (default 100)\n"
    "  --extensions N  trace header extensions per trace (default: the make's: 7, 7, 10, 2)\n"
    "  --escapes       write every count, length and number in its all-F form\n"
    "  --skew N        sample skew blocks per scan type\n"
    "  --trailer N     general trailer blocks\n"
    "  --file-number N the record's file number (above 9999: FFFF and the expanded number)\n"
    "  --pattern       sample bytes 0, 1, 2, ... instead of zeros\n"
    "  --ramp          sample i of trace k (from 0) = (7k + i) mod 31 - 15, exact in every format\n"
    "  --gather        a synthetic shot gather (wavelets and noise, x 1000), in the format's values\n"
    "  --cut N         keep only the first N bytes (a cut record)\n"
    "  --pad N         add N zero bytes after the record\n"
    "  --pad-trailer N add N bytes of general trailer blocks the header does not count\n"
    "Example (the benchmark record): make_segd --rev 2.1 --traces 99999 --samples 1000 bench.segd\n";

bool ParseNumber(const char* text, std::uint64_t& out) {
  char* end = nullptr;
  if (text == nullptr || *text < '0' || *text > '9') return false;
  out = std::strtoull(text, &end, 10);
  return *end == '\0';
}

bool ParseMake(std::string_view text, Make& out) {
  for (Make m : {Make::kSercel, Make::kSmartSolo, Make::kFairfield, Make::kOther}) {
    if (text == MakeName(m)) {
      out = m;
      return true;
    }
  }
  return false;
}

bool ParseRevision(std::string_view text, Revision& out) {
  const auto dot = text.find('.');
  std::uint64_t major = 0, minor = 0;
  if (dot == std::string_view::npos) return false;
  const std::string a(text.substr(0, dot)), b(text.substr(dot + 1));
  if (!ParseNumber(a.c_str(), major) || !ParseNumber(b.c_str(), minor) || major > 255 || minor > 255) return false;
  out = {static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor)};
  return true;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "make_segd: %s\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Revision revision{2, 1};
  Make make = Make::kOther;
  std::uint64_t format = 8058, traces = 12, samples = 100;
  std::optional<std::uint64_t> extensions, skew, trailer, fileNumber, cut;
  std::uint64_t pad = 0;
  bool escapes = false, pattern = false, padTrailer = false, ramp = false, gather = false;
  const char* output = nullptr;

  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    std::uint64_t n = 0;
    auto number = [&](std::optional<std::uint64_t>* into, std::uint64_t* plain) {
      if (!ParseNumber(value, n)) return false;
      if (into) *into = n;
      if (plain) *plain = n;
      ++i;
      return true;
    };
    bool ok = true;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--rev") {
      ok = value && ParseRevision(value, revision) && ++i;
    } else if (arg == "--make") {
      ok = value && ParseMake(value, make) && ++i;
    } else if (arg == "--format") {
      ok = number(nullptr, &format) && SampleDataBytes(static_cast<std::uint32_t>(format), 1) != 0;
    } else if (arg == "--traces") {
      ok = number(nullptr, &traces) && traces >= 1 && traces <= 0xFFFFFF;
    } else if (arg == "--samples") {
      ok = number(nullptr, &samples) && samples <= 0xFFFFFF;
    } else if (arg == "--extensions") {
      ok = number(&extensions, nullptr) && *extensions <= 15;
    } else if (arg == "--skew") {
      ok = number(&skew, nullptr);
    } else if (arg == "--trailer") {
      ok = number(&trailer, nullptr);
    } else if (arg == "--file-number") {
      ok = number(&fileNumber, nullptr) && *fileNumber <= 0xFFFFFF;
    } else if (arg == "--cut") {
      ok = number(&cut, nullptr);
    } else if (arg == "--pad" || arg == "--pad-trailer") {
      ok = number(nullptr, &pad);
      padTrailer = arg == "--pad-trailer";
    } else if (arg == "--escapes") {
      escapes = true;
    } else if (arg == "--pattern") {
      pattern = true;
    } else if (arg == "--ramp") {
      ramp = true;
    } else if (arg == "--gather") {
      gather = true;
    } else if (!arg.empty() && arg[0] != '-' && output == nullptr) {
      output = argv[i];
    } else {
      return Fail("unknown option or extra argument " + std::string(arg) + "\n" + kUsage);
    }
    if (!ok) return Fail("bad value for " + std::string(arg) + "\n" + kUsage);
  }
  if (output == nullptr) return Fail(std::string("no output file\n") + kUsage);

  GeneralRecord r = PresetRecord(make, revision, static_cast<std::uint32_t>(format), static_cast<std::uint32_t>(traces),
                                 static_cast<std::uint32_t>(samples));
  if (extensions) {
    for (ScanType& t : r.scanTypes) {
      for (ChannelSet& s : t.sets) s.extensions = static_cast<std::uint32_t>(*extensions);
    }
  }
  if (escapes) r.escapes = Escapes::All();
  if (skew) r.skewBlocks = static_cast<std::uint32_t>(*skew);
  if (trailer) r.trailerBlocks = static_cast<std::uint32_t>(*trailer);
  if (fileNumber) r.fileNumber = static_cast<std::uint32_t>(*fileNumber);
  if (pattern) r.sampleFill = SampleFill::kPattern;
  if (ramp) {
    r.sampleValues = [](const TracePlace& p, std::span<double> values) {
      for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<double>((7 * p.index + i) % 31) - 15;
    };
  } else if (gather) {
    const double intervalSeconds = r.baseScanInterval / 16000.0;
    r.sampleValues = [intervalSeconds](const TracePlace& p, std::span<double> values) {
      segd::writer::TraceSignal signal;
      signal.offsetMeters = 25.0 * static_cast<double>(p.channel);
      signal.intervalSeconds = intervalSeconds;
      signal.seed = static_cast<std::uint32_t>(p.index);
      std::vector<float> trace(values.size());
      segd::writer::FillSyntheticSamples(signal, 0, trace);
      for (std::size_t i = 0; i < values.size(); ++i) values[i] = 1000.0 * trace[i];
    };
  }
  r.cutAt = cut;
  r.padBytes = pad;
  r.padKind = padTrailer ? PadKind::kTrailer : PadKind::kZero;
  if (!WriteGeneralFile(r, output)) {
    std::fprintf(stderr, "make_segd: cannot write %s\n", output);
    return 1;
  }
  return 0;
}

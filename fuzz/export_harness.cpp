// The export writers on hostile records: the input's first byte chooses the
// export (bit 0 SEG-Y rev 2, bit 1 seismic only, bit 2 Steim2 at a bit weight
// of 1, bit 3 512-byte miniSEED records), the rest is the record. An export
// either fails (the caller then drops its files) or its files are whole: the
// SEG-Y's traces, each its headers and their sample count of floats,
// end where the file ends; every miniSEED record parses in libmseed.
#include "fuzz/harness.h"
#include "output/export_walk.h"
#include "scan/io/byte_source.h"
#ifdef SEGD_HAVE_MSEED
#include <libmseed.h>
#endif

namespace segd::fuzz {
namespace {

std::uint64_t Big(const std::string& f, std::size_t firstByte, int width) {
  std::uint64_t v = 0;
  for (int i = 0; i < width; ++i) v = (v << 8) | static_cast<unsigned char>(f[firstByte - 1 + i]);
  return v;
}

std::string CheckSegy(const std::string& f, bool seismicOnly) {
  if (f.size() < 3600) return "a SEG-Y file written without its file headers";
  if (Big(f, 3225, 2) != 5) return "a SEG-Y file whose format is not 5";
  // Rev 2 files of more than 65,535 samples a trace add a trace header
  // extension (binary header 3507-3510) whose bytes 137-140 hold the count
  // where the header's 115-116 hold 0.
  const std::uint64_t extensions = Big(f, 3507, 4);
  if (extensions > 1) return "a SEG-Y file announcing more than one trace header extension";
  const std::size_t headers = 240 * (1 + static_cast<std::size_t>(extensions));
  std::size_t at = 3600;
  while (at < f.size()) {
    if (f.size() - at < headers) return "a SEG-Y trace header cut short";
    if (seismicOnly && Big(f, at + 29, 2) > 2) return "an auxiliary trace written with --seismic-only";
    std::uint64_t samples = Big(f, at + 115, 2);
    if (extensions == 1 && samples == 0) samples = Big(f, at + 240 + 137, 4);
    at += headers + 4 * samples;
  }
  return at == f.size() ? "" : "SEG-Y traces that do not end where the file ends";
}

std::string CheckMseed(std::string f, int recordLength) {
  if (f.size() % std::size_t(recordLength) != 0) return "miniSEED that is not whole records";
#ifdef SEGD_HAVE_MSEED
  for (std::size_t at = 0; at < f.size(); at += std::size_t(recordLength)) {
    MSRecord* msr = nullptr;
    const int status = msr_parse(f.data() + at, recordLength, &msr, recordLength, 1, 0);
    msr_free(&msr);
    if (status != MS_NOERROR) return "a miniSEED record libmseed does not parse";
  }
#endif
  return {};
}

}  // namespace

std::string CheckExport(Input input) {
  if (input.empty()) return {};
  const std::uint8_t choice = input[0];
  const Input rest = input.subspan(1);
  output::SegyOptions segyOptions{choice & 1 ? 2 : 1, bool(choice & 2)};
  output::MseedOptions mseedOptions;
  mseedOptions.station = "{seq}";
  mseedOptions.seismicOnly = segyOptions.seismicOnly;
  mseedOptions.steim2 = choice & 4;
  mseedOptions.bitWeight = 1;
  mseedOptions.recordLength = choice & 8 ? 512 : 4096;
  MemoryByteSink segy, mseed;
  bool mseedAsked = true;
#ifndef SEGD_HAVE_MSEED
  mseedAsked = false;
#endif
  output::RecordExport exporter(&segy, segyOptions, mseedAsked ? &mseed : nullptr, mseedOptions, "fuzz");
  MemoryByteSource source(rest);
  samples::SampleOptions options;
  options.lastTrace = kFuzzTraceLimit;
  options.scan.cancel = exporter.Stop();
  samples::WalkTraceSamples(source, "record", exporter, options);
  if (!exporter.Finish()) {
    return exporter.Error().empty() ? "an export failed without a reason" : "";
  }
  if (std::string broken = CheckSegy(segy.Text(), segyOptions.seismicOnly); !broken.empty()) return broken;
  return CheckMseed(mseed.Text(), mseedOptions.recordLength);
}

}  // namespace segd::fuzz

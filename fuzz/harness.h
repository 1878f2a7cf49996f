#pragma once
// The bodies of the fuzz targets, apart from libFuzzer's entry point, so that
// the test suite replays the regression inputs and the seeds through the very
// same code. Each body feeds one input to the scanner and checks the rules
// that hold for any input; it returns the first rule broken, as a sentence,
// or empty text.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace segd::fuzz {

using Input = std::span<const std::uint8_t>;

enum class Target : std::uint8_t {
  kDecodeRun,       // the whole run on an in-memory record
  kHeaderDecoders,  // one header decoder and its listing, chosen by byte 0
  kTraceWalk,       // a few traces walked, decoded and listed
  kConversions,     // one conversion, chosen by byte 0
  kGenericRecord,   // the general SEG-D decoder and its walk on a whole record
  kWriters,         // a record model made from the bytes through the CSV and JSON writers
  kSummaryReader,   // the bytes read back as a summary (CSV or JSON Lines) for line QC
  kSamples,         // the sample decoders (byte 0 below 0x80) or the samples walk on a whole record
  kExport,          // a whole record exported to SEG-Y and miniSEED (byte 0 chooses how)
};
inline constexpr Target kTargets[] = {Target::kDecodeRun,     Target::kHeaderDecoders, Target::kTraceWalk,
                                      Target::kConversions,   Target::kGenericRecord,  Target::kWriters,
                                      Target::kSummaryReader, Target::kSamples,        Target::kExport};

// "decode_run", "header_decoders", "trace_walk", "conversions",
// "generic_record", "writers", "summary_reader", "samples", "export": the names of
// the fuzz programs (fuzz_<name>) and of their corpus and regression folders.
std::string_view TargetName(Target target);

std::string CheckDecodeRun(Input input);
std::string CheckHeaderDecoders(Input input);
std::string CheckTraceWalk(Input input);
std::string CheckConversions(Input input);
std::string CheckGenericRecord(Input input);
std::string CheckWriters(Input input);
std::string CheckSummaryReader(Input input);
std::string CheckSamples(Input input);
std::string CheckExport(Input input);

std::string Check(Target target, Input input);

// The decode run's input: a 16-byte prefix of run settings, then the record.
//   bytes 0-4   selection: bit i (byte i / 8, bit i % 8) sets entry i to 1,
//               for entries 0-35; bit 36 makes the other entries 2 instead
//               of 0 (a value that must count as not selected)
//   byte 5      bit 0 the record cannot be opened, bit 1 the report cannot
//               be created, bit 2 a report write fails, bit 3 "/" separates
//               report paths, bits 4-5 choose the report folder
//   bytes 6-7   with bit 2: the report fails after 8 x this many bytes
//   bytes 8-15  the output name, up to its first NUL
inline constexpr std::size_t kDecodeRunPrefix = 16;

// A walk of more traces than this is cut short after the progress range is
// set (the huge-count tests cover long walks); it keeps one input well under
// a second so that the fuzzer explores rather than lists.
inline constexpr std::int32_t kFuzzTraceLimit = 64;

}  // namespace segd::fuzz

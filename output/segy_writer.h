#pragma once
// SEG-Y, revision 1 (default) or 2, streamed: the 3200-byte EBCDIC textual
// header and the 400-byte binary header when the record begins, then one
// 240-byte trace header and its IEEE floats (format 5, big-endian) per trace.
// Memory: one trace. The trace header byte map is kSegyTraceMap
// (segy_writer.cpp), also written into the textual header and the README.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "output/export_trace.h"
#include "output/report/report_writer.h"

namespace segd::output {

struct SegyOptions {
  int revision = 1;          // 1 or 2
  bool seismicOnly = false;  // drop auxiliary traces
};

// Revision 1 holds a sample count in 16 signed bits: readers such as
// segyio stop on more. Revision 2 reads those bits unsigned (65,535) and,
// past that, takes the count from the binary header's 32-bit field and from
// a trace header extension after every trace header.
inline constexpr std::int64_t kSegyRev1MostSamples = 32767;
inline constexpr std::int64_t kSegyStandardHeaderMostSamples = 65535;
inline constexpr std::int64_t kSegyRev2MostSamples = 0xFFFFFFFF;

// Why `record` cannot be written with `options`; nullopt when it can.
std::optional<std::string> SegyRefusal(const ExportRecord& record, const SegyOptions& options);

// The 40 lines of the textual header, in ASCII (80 characters each).
std::vector<std::string> SegyTextLines(const ExportRecord& record, const SegyOptions& options);

// ASCII to EBCDIC (code page 037); characters outside printable ASCII become '?'.
char ToEbcdic(char ascii);

class SegyWriter {
 public:
  SegyWriter(ByteSink& sink, SegyOptions options) : sink_(sink), options_(options) {}

  // Writes the file headers; false with the reason in `error` when the
  // record cannot be written (nothing written then).
  bool Begin(const ExportRecord& record, std::string& error);
  // One trace; an auxiliary trace is skipped when asked.
  void Trace(const ExportTrace& trace);
  // Closes the sink; false when any byte was lost.
  bool Finish();

  std::int64_t TracesWritten() const { return written_; }

 private:
  void Write(const std::vector<char>& bytes);

  ByteSink& sink_;
  SegyOptions options_;
  bool extended_ = false;  // each trace header followed by extension 1
  std::vector<char> buffer_;
  std::int64_t written_ = 0;
  bool ok_ = true;
  bool begun_ = false;
};

}  // namespace segd::output

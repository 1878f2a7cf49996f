#pragma once
// miniSEED (SEED 2.4 data records) through libmseed: one segment per trace,
// FLOAT32 samples by default or Steim2 counts at a stated bit weight, records
// of 512 or 4096 bytes, each with a Blockette 1001 so that start times keep
// their microseconds. Codes follow the convention below and are refused, not
// cut, when longer than SEED allows (network 2, station 5, location 2,
// channel 3).
//
// Convention: network from --network (default XX); station from a template
// (default "{point}": the receiver point; also {line}, {serial}, {set},
// {trace}, {seq}); an auxiliary trace whose template value is missing is
// station "AUX" followed by its trace number. Location from --location
// (default empty). Channel: band from the sample rate (G >= 1000 Hz, D
// 250-999, E 80-249, S 10-79), then instrument and orientation from the
// trace's sensor (kSeedSensors in mseed_writer.cpp: a geophone P, an
// accelerometer N, a hydrophone D H; vertical Z, in-line 1, cross-line 2,
// another horizontal 3; P and Z where the make does not say), --instrument
// setting the instrument of every trace; auxiliary traces are band + "YX";
// --channel sets all three.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "output/export_trace.h"
#include "output/report/report_writer.h"

namespace segd::output {

struct MseedOptions {
  std::string network = "XX";
  std::string station = "{point}";
  std::string location;
  std::optional<std::string> channel;
  std::optional<char> instrument;  // else from the sensor
  int recordLength = 4096;  // 512 or 4096
  bool steim2 = false;
  double bitWeight = 0;  // Steim2: the value of one count
  bool seismicOnly = false;
};

struct SeedCodes {
  std::string network, station, location, channel;
};

// Why `options` cannot be used; nullopt when they can.
std::optional<std::string> MseedOptionsRefusal(const MseedOptions& options);

// The codes of `trace`; nullopt with the reason in `error` when one is too
// long, empty where it may not be, or the rate has no band code.
std::optional<SeedCodes> SeedCodesFor(const ExportTrace& trace, const MseedOptions& options, std::string& error);

class MseedWriter {
 public:
  MseedWriter(ByteSink& sink, MseedOptions options) : sink_(sink), options_(std::move(options)) {}

  // Writes one trace's records; false with the reason when it cannot be
  // written (the file is then incomplete and must be dropped).
  bool Trace(const ExportTrace& trace, std::string& error);
  // Closes the sink; false when any byte was lost.
  bool Finish();

  std::int64_t TracesWritten() const { return written_; }

 private:
  static void Handler(char* record, int length, void* self);

  ByteSink& sink_;
  MseedOptions options_;
  std::vector<float> floats_;
  std::vector<std::int32_t> counts_;
  std::int32_t sequence_ = 1;
  std::int64_t written_ = 0;
  bool ok_ = true;
};

}  // namespace segd::output

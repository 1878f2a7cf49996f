#pragma once
// A realistic SN388 shot record: an auxiliary channel set and one seismic
// channel set per receiver line of the active spread, two trace header
// extensions with receiver coordinates, a 1024-byte extended header and an
// external header holding the observer's notes.
#include <cstdint>

#include "tools/record_writer.h"

namespace segd::writer {

struct ShotShape {
  std::uint32_t auxTraces = 2;  // the first is the filtered signature, the second the uphole
  std::uint32_t receiverLines = 3;
  std::uint32_t channelsPerLine = 120;
  std::uint32_t samplesPerTrace = 1000;
};

// The spread of `shape` around one shot. Receiver lines are numbered 2010,
// 2020, ... (200 m apart), points 5001 onwards (25 m apart); the shot is
// source line 3061, point 2025. A few seismic traces carry edits and error
// flags: the 33rd channel of the second line is dead (edit 2, dead flag),
// the 87th of the third line was edited by the recorder (edit 3, overscale
// and data error flags), the 12th of the first line has a sync error and
// the 100th of the second line an impedance error.
RecordSpec ShotRecord(const ShotShape& shape);

// The project's sample record: ShotRecord with the default shape, 2
// auxiliary and 360 seismic traces of 1000 samples at 1 ms.
RecordSpec SampleShot();

}  // namespace segd::writer

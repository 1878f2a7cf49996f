#include "tools/sample_shot.h"

#include <cmath>
#include <string>
#include <string_view>

namespace segd::writer {
namespace {

// Survey grid: receiver line L and point P lie at easting kOriginEasting +
// 25 (P - 5000) and northing kOriginNorthing + 20 (L - 2000); a source line
// number S and point Q at easting kOriginEasting + 25 (S - 3000) and
// northing kOriginNorthing + 20 (Q - 2000).
constexpr double kOriginEasting = 512043.7;
constexpr double kOriginNorthing = 6543018.2;
constexpr std::uint32_t kFirstReceiverLine = 2010;
constexpr std::uint32_t kReceiverLineStep = 10;
constexpr std::uint32_t kFirstReceiverPoint = 5001;
constexpr std::uint32_t kSourceLine = 3061;
constexpr std::uint32_t kSourcePoint = 2025;
constexpr std::uint32_t kShotFileNumber = 4217;
constexpr std::uint32_t kUpholeMilliseconds = 12;

double Easting(double point, double base) { return kOriginEasting + 25.0 * (point - base); }
double Northing(double line, double base) { return kOriginNorthing + 20.0 * (line - base); }

// Gently rolling ground, in metres above datum.
float Elevation(double easting, double northing) {
  const double e = easting - kOriginEasting;
  const double n = northing - kOriginNorthing;
  const double h = 112.5 + 8.0 * std::sin(e / 310.0) + 5.0 * std::cos(n / 240.0) + 0.002 * e;
  return static_cast<float>(std::round(h * 10.0) / 10.0);
}

// Marks on particular seismic channels (1-based line and channel index).
struct ChannelMark {
  std::uint32_t line;
  std::uint32_t channel;
  std::uint64_t traceEdit;
  std::uint64_t errorFlags;
  std::uint64_t resistance;  // 0: the usual value
};
constexpr ChannelMark kMarks[] = {
    {2, 33, 2, kDeadErrorFlag, 0},
    {3, 87, 3, kOverscaleErrorFlag | kDataErrorFlag, 0},
    {1, 12, 0, kSyncErrorFlag, 0},
    {2, 100, 0, kImpedanceErrorFlag, 2870},
};

// Notes the observer keyed in, one 64-character line each.
constexpr std::string_view kObserverNotes[] = {
    "KELVANE GEOPHYSICAL - CREW 12 - NORDHAVN 3D SURVEY",
    "CLIENT: NORDHAVN ENERGY AS       AREA: BLOCK 7/11 ONSHORE",
    "SHOT 4217  SOURCE LINE 3061  POINT 2025  HOLE 12 M  CHARGE 2 KG",
    "UPHOLE 12 MS  DRILLER: T.AASEN  SHOOTER: K.VIK",
    "SPREAD 17: LINES 2010-2030  POINTS 5001-5120  120 CH/LINE",
    "OBSERVER: A.LINDQVIST   WEATHER: CALM, -4 C, LIGHT SNOW",
    "2020/5033 DEAD - CABLE CUT BY TRACTOR, REPAIR TEAM SENT",
    "2020/5100 HIGH RESISTANCE - STRING UNDER WATER",
};

Bytes ExternalNotes() {
  constexpr std::size_t kLine = 64;
  Bytes notes(kSn388ExtendedHeaderBytes, ' ');
  std::size_t at = 0;
  for (std::string_view line : kObserverNotes) {
    for (std::size_t i = 0; i < line.size() && i < kLine; ++i) notes[at + i] = static_cast<std::uint8_t>(line[i]);
    at += kLine;
  }
  return notes;
}

ChannelSetSpec AuxiliarySet(std::uint32_t count, double sourceEasting, double sourceNorthing) {
  ChannelSetSpec set;
  set.header.channelSetNumber = 1;
  set.header.channelType = kAuxChannel;
  set.header.gainControl = 3;
  for (std::uint32_t i = 0; i < count; ++i) {
    TraceSpec t;
    TraceExtension1& e = t.extension1;
    e.suNumber = 900 + i;  // the auxiliary box at the recorder
    e.unitType = 1;
    e.channelType = i == 1 ? 3 : 9;  // uphole geophone, else filtered signature
    e.receiverType = 2;
    e.conversionFactor = 1.0f;
    t.extension2.easting = sourceEasting;
    t.extension2.northing = sourceNorthing;
    t.extension2.elevation = Elevation(sourceEasting, sourceNorthing);
    set.traces.push_back(t);
  }
  return set;
}

ChannelSetSpec ReceiverLineSet(std::uint32_t lineIndex, std::uint32_t channels) {
  const std::uint32_t line = kFirstReceiverLine + kReceiverLineStep * lineIndex;
  ChannelSetSpec set;
  ChannelSetHeader& h = set.header;
  h.channelSetNumber = 2 + lineIndex;
  h.channelType = kSeismicChannel;
  h.gainControl = 3;
  h.aliasFrequency = 400;  // 0.8 of Nyquist at 1 ms
  h.aliasSlope = 370;
  h.streamerNumber = 0;
  for (std::uint32_t c = 1; c <= channels; ++c) {
    const std::uint32_t point = kFirstReceiverPoint + (c - 1);
    TraceSpec t;
    TraceExtension1& e = t.extension1;
    e.receiverLine = line;
    e.receiverPoint = point;
    e.suNumber = 41000 + 100 * lineIndex + (c - 1) / 6;  // an SU6 serves six channels
    e.filter = 2;                                        // minimum phase, 0.8 of Nyquist
    e.gain = 12;
    e.unitType = 0;
    e.channelType = 1;
    e.resistance = 338 + (point * 7 + line) % 29;
    e.sim = 94 + (point + lineIndex) % 5;
    e.receiverType = 1;
    e.conversionFactor = 1.0f;
    for (const ChannelMark& m : kMarks) {
      if (m.line != lineIndex + 1 || m.channel != c) continue;
      t.header.traceEdit = m.traceEdit;
      e.errorFlags = m.errorFlags;
      if (m.resistance != 0) e.resistance = m.resistance;
    }
    t.extension2.easting = Easting(point, 5000);
    t.extension2.northing = Northing(line, 2000);
    t.extension2.elevation = Elevation(t.extension2.easting, t.extension2.northing);
    set.traces.push_back(t);
  }
  return set;
}

}  // namespace

RecordSpec ShotRecord(const ShotShape& shape) {
  RecordSpec s;
  s.fileNumber = kShotFileNumber;
  s.samplesPerTrace = shape.samplesPerTrace;
  s.traceExtensions = 2;

  s.general1.manufacturerSerial = 1388;
  s.general3.sourceLine = kSourceLine;
  s.general3.sourcePoint = kSourcePoint;

  const double sourceEasting = Easting(kSourceLine, 3000);
  const double sourceNorthing = Northing(kSourcePoint, 2000);

  Sn388ExtendedHeader& x = s.extended;
  x.upholeFlag = 1;
  x.upholeTime = kUpholeMilliseconds;
  x.auxType = 2;
  x.sourceType = 0;  // impulsive
  x.shotNumber = kShotFileNumber;
  x.timeBreakWindow = 50;
  x.swathFirstLine = kFirstReceiverLine;
  x.swathFirstNumber = kFirstReceiverPoint;
  x.spreadNumber = 17;
  x.spreadType = 1;  // absolute
  x.receiverPointStep = 1;
  x.acqWithItb = 1;
  x.blasterId = 3;
  x.blasterStatus = 1;  // shot fired
  x.singleSyncErrors = 1;
  x.acqWithSyncErrors = 1;
  x.firstSyncErrorTime = 412;
  x.channelsWithSyncError = 1;
  x.acqWithChannelSyncError = 1;
  x.firstChannelSyncErrorTime = 412;
  x.channelErrorsInTraceHeader = 1;
  x.noiseEliminationType = 0;
  x.stackingFold = 1;
  x.maxOfMaxAux = 4876;
  x.maxOfMaxSeis = 1523;
  x.sourceNumber = 1;
  x.tapeUnitNumber = 1;
  x.tapeLabel = "NORDHAVN3D-T";  // the preamble shows it followed by the tape number
  x.tapeNumber = 42;
  x.softwareVersion = "SN388 V5.21";
  x.filesPerTape = 250;
  x.fileCount = 117;
  x.sourcePointIndex = 1;
  x.dateOfAcquisition = "14/02/2006";
  x.sourceEasting = sourceEasting;
  x.sourceNorthing = sourceNorthing;
  x.sourceElevation = Elevation(sourceEasting, sourceNorthing);

  s.channelSets.push_back(AuxiliarySet(shape.auxTraces, sourceEasting, sourceNorthing));
  for (std::uint32_t i = 0; i < shape.receiverLines; ++i) {
    s.channelSets.push_back(ReceiverLineSet(i, shape.channelsPerLine));
  }
  s.externalHeader = ExternalNotes();
  Derive(s);
  return s;
}

RecordSpec SampleShot() { return ShotRecord(ShotShape{}); }

}  // namespace segd::writer

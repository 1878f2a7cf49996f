#include "tools/extended_header.h"

#include <string_view>

namespace segd::writer {
namespace {

using X = Sn388ExtendedHeader;

struct WordPlace {
  std::uint32_t X::*member;
  int position;
};
struct TextPlace {
  std::string X::*member;
  int position;
  int width;
  char pad;  // the recorder pads identifying texts with blanks, file names with NUL
};
struct TablePlace {
  std::array<std::uint8_t, 128> X::*member;
  int position;
};
struct SinglePlace {
  float X::*member;
  int position;
};
struct DoublePlace {
  double X::*member;
  int position;
};

constexpr WordPlace kWords[] = {
    {&X::acquisitionLength, 1},       {&X::sampleRate, 5},
    {&X::totalTraces, 9},             {&X::upholeFlag, 13},
    {&X::auxTraces, 17},              {&X::seisTraces, 21},
    {&X::deadSeisTraces, 25},         {&X::liveSeisTraces, 29},
    {&X::auxType, 33},                {&X::sourceType, 41},
    {&X::fireOrderControl, 45},       {&X::samplesPerTrace, 49},
    {&X::inputSignal, 57},            {&X::sigGenShape, 61},
    {&X::sigGenLevel, 65},            {&X::shotNumber, 69},
    {&X::timeBreakWindow, 77},        {&X::testType, 81},
    {&X::swathFirstLine, 85},         {&X::swathFirstNumber, 89},
    {&X::spreadNumber, 93},           {&X::spreadType, 97},
    {&X::receiverPointStep, 101},     {&X::acqWithItb, 169},
    {&X::upholeTime, 173},            {&X::blasterId, 177},
    {&X::blasterStatus, 181},         {&X::sarSignalType, 185},
    {&X::sarGeneratorLevel, 189},     {&X::sarPrestack, 193},
    {&X::timebreakToT0, 197},         {&X::radioRetries, 201},
    {&X::singleSyncErrors, 205},      {&X::acqWithSyncErrors, 209},
    {&X::firstSyncErrorTime, 213},    {&X::channelsWithSyncError, 217},
    {&X::acqWithChannelSyncError, 221}, {&X::firstChannelSyncErrorTime, 225},
    {&X::scanDataErrors, 229},        {&X::acqWithScanDataError, 233},
    {&X::firstScanDataErrorTime, 237}, {&X::txErrors, 241},
    {&X::acqWithTxErrors, 245},       {&X::acqWithInvalidStatus, 249},
    {&X::channelErrorsInTraceHeader, 253}, {&X::noiseEliminationType, 257},
    {&X::lowTracePercentage, 261},    {&X::lowTraceValue, 265},
    {&X::numberOfWindows, 269},       {&X::historicEditType, 273},
    {&X::noisyTracePercentage, 277},  {&X::historicRange, 281},
    {&X::historicTaperLength, 285},   {&X::thresholdVar, 289},
    {&X::historicInitialValue, 293},  {&X::historicZeroingLength, 297},
    {&X::typeOfProcess, 301},         {&X::stackingFold, 561},
    {&X::fftExponent, 645},           {&X::investigationLength, 649},
    {&X::autoCorrelationTime, 653},   {&X::sourceAuxNumber, 657},
    {&X::source1AuxNumber, 661},      {&X::source2AuxNumber, 665},
    {&X::pilotLength, 669},           {&X::sweepLength, 673},
    {&X::dumpStackFold, 677},         {&X::extraDump, 681},
    {&X::maxOfMaxAux, 685},           {&X::maxOfMaxSeis, 689},
    {&X::sourceNumber, 693},          {&X::tapeUnitNumber, 701},
    {&X::tapeNumber, 721},            {&X::tapeTransportMode, 733},
    {&X::traceHeaderExtensions, 737}, {&X::fileHeaderChecksum, 757},
    {&X::filesPerTape, 761},          {&X::fileCount, 765},
    {&X::sourcePointIndex, 769},      {&X::slipsweepMode, 785},
    {&X::timeBreakMicroseconds, 789},
};

constexpr TextPlace kTexts[] = {
    {&X::syntheticFileName, 105, 64, '\0'},
    {&X::auxCorrelationDescriptor, 565, 80, '\0'},
    {&X::tapeLabel, 705, 16, ' '},
    {&X::softwareVersion, 741, 16, ' '},
    {&X::dateOfAcquisition, 773, 12, ' '},
};

constexpr TablePlace kTables[] = {
    {&X::acquisitionTable, 305},
    {&X::thresholdTypeTables, 433},
};

constexpr SinglePlace kSingles[] = {
    {&X::sourceLine, 725},
    {&X::sourcePoint, 729},
    {&X::sourceElevation, 809},
};

constexpr DoublePlace kDoubles[] = {
    {&X::sourceEasting, 793},
    {&X::sourceNorthing, 801},
};

// Every place lies inside the 1024-byte layout, and no two overlap.
constexpr bool PlacesFit() {
  bool used[kSn388ExtendedHeaderBytes + 1] = {};
  auto claim = [&used](int position, int width) {
    if (position < 1 || position + width - 1 > static_cast<int>(kSn388ExtendedHeaderBytes)) return false;
    for (int p = position; p < position + width; ++p) {
      if (used[p]) return false;
      used[p] = true;
    }
    return true;
  };
  for (const WordPlace& w : kWords) if (!claim(w.position, 4)) return false;
  for (const TextPlace& t : kTexts) if (!claim(t.position, t.width)) return false;
  for (const TablePlace& t : kTables) if (!claim(t.position, 128)) return false;
  for (const SinglePlace& s : kSingles) if (!claim(s.position, 4)) return false;
  for (const DoublePlace& d : kDoubles) if (!claim(d.position, 8)) return false;
  return true;
}
static_assert(PlacesFit());

}  // namespace

Bytes EncodeExtendedHeader(const Sn388ExtendedHeader& values, std::size_t size) {
  // Laid out at full size, then cut, so a short header holds exactly the
  // leading bytes of the full one.
  Bytes image(size > kSn388ExtendedHeaderBytes ? size : kSn388ExtendedHeaderBytes, 0);
  for (const WordPlace& w : kWords) PutU32(image, w.position, values.*(w.member));
  for (const TextPlace& t : kTexts) PutText(image, t.position, t.width, values.*(t.member), t.pad);
  for (const TablePlace& t : kTables) PutBytes(image, t.position, values.*(t.member));
  for (const SinglePlace& s : kSingles) PutSingle(image, s.position, values.*(s.member));
  for (const DoublePlace& d : kDoubles) PutDouble(image, d.position, values.*(d.member));
  image.resize(size);
  return image;
}

}  // namespace segd::writer

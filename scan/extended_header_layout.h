#pragma once
// Where each field of the SN388 extended header sits, how its bytes become
// text, and the name it is listed under. One row per field, in header order;
// the decoder and the listing both walk this one table.
#include <cstddef>
#include <string_view>

#include "scan/extended_header.h"

namespace segd::extended {

enum class Conversion {
  Decimal,            // unsigned big-endian integer (BytesToDecimal)
  Single,             // IEEE 754 single precision (BytesToSingleText)
  Double,             // IEEE 754 double precision (BytesToDoubleText)
  Characters,         // each byte one character, NUL included
  TrimmedCharacters,  // as Characters, blanks trimmed at both ends
  Hex,                // two digits per byte (BytesToHex)
};

using R = ExtendedHeaderRecord;

struct FieldRow {
  std::string_view name;  // empty: filled and checked, never listed
  int firstByte;          // 1-based within the extended header
  int lastByte;
  Conversion conversion;
  FieldRef (*field)(R&);
  std::string_view (*value)(const R&);
};

// The decoder reads bytes 1 to 1023; byte 1024 belongs to no field.
inline constexpr int kLastByteRead = 1023;
// Listing labels: the name padded to 37 characters, then ": ".
inline constexpr std::size_t kNameColumn = 37;

#define SEGD_EXT(Member) [](R& r) { return r.Member.Ref(); }, [](const R& r) { return r.Member.View(); }

using enum Conversion;
inline constexpr FieldRow kFields[] = {
    {"Acquisition Length", 1, 4, Decimal, SEGD_EXT(AcquisitionLength)},
    {"Sample Rate", 5, 8, Decimal, SEGD_EXT(SampleRate)},
    {"Total Traces", 9, 12, Decimal, SEGD_EXT(TotalTraces)},
    {"", 13, 16, Decimal, SEGD_EXT(UpholeFlag)},
    {"Number of AUX Traces", 17, 20, Decimal, SEGD_EXT(AuxTraces)},
    {"Number of Seis Traces", 21, 24, Decimal, SEGD_EXT(SeisTraces)},
    // Bytes 25-28 are read into no field.
    {"Number of Live Seis Traces", 29, 32, Decimal, SEGD_EXT(LiveSeisTraces)},
    {"Aux Type", 33, 36, Decimal, SEGD_EXT(AuxType)},
    {"Unused", 37, 40, Decimal, SEGD_EXT(Unused1)},
    {"Source Type", 41, 44, Decimal, SEGD_EXT(SourceType)},
    {"Fire Order Control", 45, 48, Decimal, SEGD_EXT(FireOrderControl)},
    {"Samples Per Trace", 49, 52, Decimal, SEGD_EXT(SamplesPerTrace)},
    {"Unused", 53, 56, Decimal, SEGD_EXT(Unused2)},
    {"Input Signal", 57, 60, Decimal, SEGD_EXT(InputSignal)},
    {"Sig Gen Shape", 61, 64, Decimal, SEGD_EXT(SigGenShape)},
    {"Sig Gen Level", 65, 68, Decimal, SEGD_EXT(SigGenLevel)},
    {"Shot Number", 69, 72, Decimal, SEGD_EXT(ShotNumber)},
    {"Unused", 73, 76, Decimal, SEGD_EXT(Unused3)},
    {"Time Break Window", 77, 80, Decimal, SEGD_EXT(TimeBreakWindow)},
    {"Test Type", 81, 84, Decimal, SEGD_EXT(TestType)},
    {"Swath First Line", 85, 88, Decimal, SEGD_EXT(SwathFirstLine)},
    {"Swath First Number", 89, 92, Decimal, SEGD_EXT(SwathFirstNumber)},
    {"Spread Number", 93, 96, Decimal, SEGD_EXT(SpreadNumber)},
    {"Spread Type", 97, 100, Decimal, SEGD_EXT(SpreadType)},
    {"Receiver Point Step", 101, 104, Decimal, SEGD_EXT(ReceiverPointStep)},
    {"Synthetic File Name", 105, 168, Characters, SEGD_EXT(SyntheticFileName)},
    {"Number of Acq with ITB", 169, 172, Decimal, SEGD_EXT(AcqWithItb)},
    {"Uphole Time", 173, 176, Decimal, SEGD_EXT(UpholeTime)},
    {"Blaster ID", 177, 180, Decimal, SEGD_EXT(BlasterId)},
    {"Blaster Status", 181, 184, Decimal, SEGD_EXT(BlasterStatus)},
    {"SAR Signal Type", 185, 188, Decimal, SEGD_EXT(SarSignalType)},
    {"SAR Generator Level", 189, 192, Decimal, SEGD_EXT(SarGeneratorLevel)},
    {"SAR Prestack", 193, 196, Decimal, SEGD_EXT(SarPrestack)},
    {"Timebreak to T0", 197, 200, Decimal, SEGD_EXT(TimebreakToT0)},
    {"Number of Radio Retries", 201, 204, Decimal, SEGD_EXT(RadioRetries)},
    {"Number of Single Sync Errors", 205, 208, Decimal, SEGD_EXT(SingleSyncErrors)},
    {"Number of Acq WIth Sync Errs", 209, 212, Decimal, SEGD_EXT(AcqWithSyncErrors)},
    {"Time of First Sync Error", 213, 216, Decimal, SEGD_EXT(FirstSyncErrorTime)},
    {"Total Num Chan with Sync Err", 217, 220, Decimal, SEGD_EXT(ChannelsWithSyncError)},
    {"Number of Acq with Sync Err", 221, 224, Decimal, SEGD_EXT(AcqWithChannelSyncError)},
    {"Time of First Chan Sync Err", 225, 228, Decimal, SEGD_EXT(FirstChannelSyncErrorTime)},
    {"Total Num. of Scan Data Errs", 229, 232, Decimal, SEGD_EXT(ScanDataErrors)},
    {"Num. of Acq with Scan Data Err", 233, 236, Decimal, SEGD_EXT(AcqWithScanDataError)},
    {"Time of first Scan Data Err", 237, 240, Decimal, SEGD_EXT(FirstScanDataErrorTime)},
    {"Total Number of TX Errors", 241, 244, Decimal, SEGD_EXT(TxErrors)},
    {"Number of Acq With TX Errors", 245, 248, Decimal, SEGD_EXT(AcqWithTxErrors)},
    {"Number of ACQ with Invalid Status", 249, 252, Decimal, SEGD_EXT(AcqWithInvalidStatus)},
    {"Chan Errors Reported in Trace Header", 253, 256, Decimal, SEGD_EXT(ChannelErrorsInTraceHeader)},
    {"Noise Elimination Type", 257, 260, Decimal, SEGD_EXT(NoiseEliminationType)},
    {"Low Trace Percentage", 261, 264, Decimal, SEGD_EXT(LowTracePercentage)},
    {"Low Trace Value", 265, 268, Decimal, SEGD_EXT(LowTraceValue)},
    {"Number of Windows", 269, 272, Decimal, SEGD_EXT(WindowCount)},
    {"Historic Edit Type", 273, 276, Decimal, SEGD_EXT(HistoricEditType)},
    {"Noisy Trace Percentage", 277, 280, Decimal, SEGD_EXT(NoisyTracePercentage)},
    {"Historic Range", 281, 284, Decimal, SEGD_EXT(HistoricRange)},
    {"Historic Taper Length", 285, 288, Decimal, SEGD_EXT(HistoricTaperLength)},
    {"Threshold/Var", 289, 292, Decimal, SEGD_EXT(ThresholdVar)},
    {"Historic Initial Value", 293, 296, Decimal, SEGD_EXT(HistoricInitialValue)},
    {"Historic Zeroing Length", 297, 300, Decimal, SEGD_EXT(HistoricZeroingLength)},
    {"Type of Process", 301, 304, Decimal, SEGD_EXT(ProcessType)},
    // The tables are 128 bytes; their fields keep the first 128 digits, so
    // only the first 64 bytes of each reach the report.
    {"Acquisition Table", 305, 432, Hex, SEGD_EXT(AcquisitionTable)},
    {"Threshold Type Tables", 433, 560, Hex, SEGD_EXT(ThresholdTypeTables)},
    {"Stacking Fold", 561, 564, Decimal, SEGD_EXT(StackingFold)},
    {"Aux Correlation Descriptor", 565, 644, Characters, SEGD_EXT(AuxCorrelationDescriptor)},
    {"FFT Exponent", 645, 648, Decimal, SEGD_EXT(FftExponent)},
    {"Investigation Length", 649, 652, Decimal, SEGD_EXT(InvestigationLength)},
    {"Auto Correlation Time", 653, 656, Decimal, SEGD_EXT(AutoCorrelationTime)},
    {"Source Aux Number", 657, 660, Decimal, SEGD_EXT(SourceAuxNumber)},
    {"Source 1 Aux Number", 661, 664, Decimal, SEGD_EXT(Source1AuxNumber)},
    {"Source 2 Aux Number", 665, 668, Decimal, SEGD_EXT(Source2AuxNumber)},
    {"Pilot Length", 669, 672, Decimal, SEGD_EXT(PilotLength)},
    {"Sweep Length", 673, 676, Decimal, SEGD_EXT(SweepLength)},
    {"Dump Stack Fold", 677, 680, Decimal, SEGD_EXT(DumpStackFold)},
    {"Extra Dump", 681, 684, Decimal, SEGD_EXT(ExtraDump)},
    {"Max of Max AUX", 685, 688, Decimal, SEGD_EXT(MaxOfMaxAux)},
    {"Max of Max Seis", 689, 692, Decimal, SEGD_EXT(MaxOfMaxSeis)},
    {"Source Number for this Record", 693, 696, Decimal, SEGD_EXT(SourceNumber)},
    {"Unused", 697, 700, Decimal, SEGD_EXT(Unused4)},
    {"Tape Unit Number", 701, 704, Decimal, SEGD_EXT(TapeUnitNumber)},
    {"Tape Label", 705, 720, TrimmedCharacters, SEGD_EXT(TapeLabel)},
    {"Tape Number", 721, 724, Decimal, SEGD_EXT(TapeNumber)},
    {"Source Line", 725, 728, Single, SEGD_EXT(SourceLine)},
    {"Source Point", 729, 732, Single, SEGD_EXT(SourcePoint)},
    {"Tape Transport Mode", 733, 736, Decimal, SEGD_EXT(TapeTransportMode)},
    {"Number of Trace Header Extentions", 737, 740, Decimal, SEGD_EXT(TraceHeaderExtensionCount)},
    {"Software Version", 741, 756, TrimmedCharacters, SEGD_EXT(SoftwareVersion)},
    {"File Header Checksum", 757, 760, Decimal, SEGD_EXT(FileHeaderChecksum)},
    {"Number of Files Per Tape", 761, 764, Decimal, SEGD_EXT(FilesPerTape)},
    {"File Count", 765, 768, Decimal, SEGD_EXT(FileCount)},
    {"Source Point Index", 769, 772, Decimal, SEGD_EXT(SourcePointIndex)},
    {"Date of Acquisition", 773, 784, TrimmedCharacters, SEGD_EXT(AcquisitionDate)},
    {"Slipsweep Mode", 785, 788, Decimal, SEGD_EXT(SlipsweepMode)},
    {"Time Break (uS)", 789, 792, Decimal, SEGD_EXT(TimeBreakMicroseconds)},
    {"Source Easting", 793, 800, Double, SEGD_EXT(SourceEasting)},
    {"Source Northing", 801, 808, Double, SEGD_EXT(SourceNorthing)},
    {"Source Elevation", 809, 812, Single, SEGD_EXT(SourceElevation)},
    // 211 digits: bytes 813-917 and the high half of byte 918.
    {"Unused", 813, kLastByteRead, Hex, SEGD_EXT(Unused5)},
};

#undef SEGD_EXT

// Rows in header order, inside bytes 1 to 1023, never overlapping, each
// number of the width its conversion takes, and every name fitting its
// column.
constexpr bool FieldsAreSound() {
  int previousLast = 0;
  for (const FieldRow& row : kFields) {
    if (row.firstByte <= previousLast || row.lastByte < row.firstByte || row.lastByte > kLastByteRead) return false;
    previousLast = row.lastByte;
    const int size = row.lastByte - row.firstByte + 1;
    if ((row.conversion == Decimal || row.conversion == Single) && size != 4) return false;
    if (row.conversion == Double && size != 8) return false;
    if (row.name.size() > kNameColumn) return false;
  }
  return true;
}
static_assert(FieldsAreSound());

constexpr std::size_t ListedCount() {
  std::size_t count = 0;
  for (const FieldRow& row : kFields) count += row.name.empty() ? 0 : 1;
  return count;
}
static_assert(ListedCount() == 96 && std::size(kFields) == 97);

}  // namespace segd::extended

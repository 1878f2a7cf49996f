#pragma once
// The SN388 extended header: the recorder's acquisition parameters, error
// statistics and identifying texts in its first 1024 bytes. Numbers are
// 32-bit big-endian unsigned unless noted; positions are 1-based bytes.
// The defaults are valid codes throughout, so a scan of the header raises
// no complaint.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/byte_put.h"

namespace segd::writer {

inline constexpr std::size_t kSn388ExtendedHeaderBytes = 1024;

struct Sn388ExtendedHeader {
  std::uint32_t acquisitionLength = 1000;  // 1-4, ms
  std::uint32_t sampleRate = 1000;         // 5-8, microseconds
  std::uint32_t totalTraces = 0;           // 9-12
  std::uint32_t upholeFlag = 0;            // 13-16, 0 or 1
  std::uint32_t auxTraces = 0;             // 17-20
  std::uint32_t seisTraces = 0;            // 21-24
  std::uint32_t deadSeisTraces = 0;        // 25-28
  std::uint32_t liveSeisTraces = 0;        // 29-32
  std::uint32_t auxType = 2;               // 33-36, 2 or 3
  std::uint32_t sourceType = 0;            // 41-44, 0 impulsive, 1 vibrator
  std::uint32_t fireOrderControl = 0;      // 45-48, 0 to 5
  std::uint32_t samplesPerTrace = 0;       // 49-52
  std::uint32_t inputSignal = 0;           // 57-60, 0 to 9
  std::uint32_t sigGenShape = 0;           // 61-64, 0 to 11
  std::uint32_t sigGenLevel = 0;           // 65-68
  std::uint32_t shotNumber = 0;            // 69-72
  std::uint32_t timeBreakWindow = 0;       // 77-80
  std::uint32_t testType = 0;              // 81-84, 0 to 14
  std::uint32_t swathFirstLine = 0;        // 85-88
  std::uint32_t swathFirstNumber = 0;      // 89-92
  std::uint32_t spreadNumber = 0;          // 93-96
  std::uint32_t spreadType = 0;            // 97-100, 0 generic, 1 absolute
  std::uint32_t receiverPointStep = 1;     // 101-104
  std::string syntheticFileName;           // 105-168, NUL padded
  std::uint32_t acqWithItb = 0;            // 169-172
  std::uint32_t upholeTime = 0;            // 173-176
  std::uint32_t blasterId = 0;             // 177-180
  std::uint32_t blasterStatus = 0;         // 181-184, 0 to 8
  std::uint32_t sarSignalType = 0;         // 185-188, 0 to 5
  std::uint32_t sarGeneratorLevel = 0;     // 189-192
  std::uint32_t sarPrestack = 0;           // 193-196, 0 or 1
  std::uint32_t timebreakToT0 = 0;         // 197-200
  std::uint32_t radioRetries = 0;          // 201-204
  std::uint32_t singleSyncErrors = 0;      // 205-208
  std::uint32_t acqWithSyncErrors = 0;     // 209-212
  std::uint32_t firstSyncErrorTime = 0;    // 213-216
  std::uint32_t channelsWithSyncError = 0; // 217-220
  std::uint32_t acqWithChannelSyncError = 0;   // 221-224
  std::uint32_t firstChannelSyncErrorTime = 0; // 225-228
  std::uint32_t scanDataErrors = 0;        // 229-232
  std::uint32_t acqWithScanDataError = 0;  // 233-236
  std::uint32_t firstScanDataErrorTime = 0;    // 237-240
  std::uint32_t txErrors = 0;              // 241-244
  std::uint32_t acqWithTxErrors = 0;       // 245-248
  std::uint32_t acqWithInvalidStatus = 0;  // 249-252
  std::uint32_t channelErrorsInTraceHeader = 0;  // 253-256
  std::uint32_t noiseEliminationType = 0;  // 257-260, 0 to 3
  std::uint32_t lowTracePercentage = 0;    // 261-264
  std::uint32_t lowTraceValue = 0;         // 265-268
  std::uint32_t numberOfWindows = 0;       // 269-272
  std::uint32_t historicEditType = 0;      // 273-276, 0 or 1
  std::uint32_t noisyTracePercentage = 0;  // 277-280
  std::uint32_t historicRange = 0;         // 281-284
  std::uint32_t historicTaperLength = 0;   // 285-288
  std::uint32_t thresholdVar = 0;          // 289-292, 0 or 1
  std::uint32_t historicInitialValue = 0;  // 293-296
  std::uint32_t historicZeroingLength = 0; // 297-300
  std::uint32_t typeOfProcess = 0;         // 301-304, 0 to 6
  std::array<std::uint8_t, 128> acquisitionTable{};     // 305-432
  std::array<std::uint8_t, 128> thresholdTypeTables{};  // 433-560
  std::uint32_t stackingFold = 1;          // 561-564
  std::string auxCorrelationDescriptor;    // 565-644, NUL padded
  std::uint32_t fftExponent = 0;           // 645-648
  std::uint32_t investigationLength = 0;   // 649-652
  std::uint32_t autoCorrelationTime = 0;   // 653-656
  std::uint32_t sourceAuxNumber = 0;       // 657-660
  std::uint32_t source1AuxNumber = 0;      // 661-664
  std::uint32_t source2AuxNumber = 0;      // 665-668
  std::uint32_t pilotLength = 0;           // 669-672
  std::uint32_t sweepLength = 0;           // 673-676
  std::uint32_t dumpStackFold = 0;         // 677-680
  std::uint32_t extraDump = 0;             // 681-684, 0 or 1
  std::uint32_t maxOfMaxAux = 0;           // 685-688
  std::uint32_t maxOfMaxSeis = 0;          // 689-692
  std::uint32_t sourceNumber = 1;          // 693-696
  std::uint32_t tapeUnitNumber = 1;        // 701-704
  std::string tapeLabel;                   // 705-720, blank padded
  std::uint32_t tapeNumber = 0;            // 721-724
  float sourceLine = 0;                    // 725-728, IEEE single
  float sourcePoint = 0;                   // 729-732, IEEE single
  std::uint32_t tapeTransportMode = 0;     // 733-736, 0 or 1
  std::uint32_t traceHeaderExtensions = 0; // 737-740
  std::string softwareVersion;             // 741-756, blank padded
  std::uint32_t fileHeaderChecksum = 0;    // 757-760
  std::uint32_t filesPerTape = 0;          // 761-764
  std::uint32_t fileCount = 0;             // 765-768
  std::uint32_t sourcePointIndex = 1;      // 769-772
  std::string dateOfAcquisition;           // 773-784, blank padded
  std::uint32_t slipsweepMode = 0;         // 785-788
  std::uint32_t timeBreakMicroseconds = 0; // 789-792
  double sourceEasting = 0;                // 793-800, IEEE double
  double sourceNorthing = 0;               // 801-808, IEEE double
  float sourceElevation = 0;               // 809-812, IEEE single
  // Bytes 37-40, 53-56, 73-76, 697-700 and 813 onwards stay zero.
};

// The header image of `size` bytes: the 1024 bytes of the SN388 layout,
// cut or followed by zero bytes.
Bytes EncodeExtendedHeader(const Sn388ExtendedHeader& values,
                           std::size_t size = kSn388ExtendedHeaderBytes);

}  // namespace segd::writer

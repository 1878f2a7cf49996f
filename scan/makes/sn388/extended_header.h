#pragma once
// The SN388 extended header: the recorder's acquisition parameters, error
// statistics and identifying texts in the first 1023 bytes after the channel
// set headers. Each listed item is one fixed-width text field; seventeen coded
// items are checked and ten decoded into texts.
#include <cstdint>

#include "scan/convert/conversions.h"
#include "scan/convert/text_field.h"

namespace segd {

struct ExtendedHeaderRecord {
  // Raw fields, in header order (bytes are 1-based within the header).
  TextField<5> AcquisitionLength;           // 1-4, milliseconds
  TextField<5> SampleRate;                  // 5-8
  TextField<5> TotalTraces;                 // 9-12
  TextField<5> UpholeFlag;                  // 13-16, checked but not listed
  TextField<5> AuxTraces;                   // 17-20
  TextField<5> SeisTraces;                  // 21-24
  TextField<5> LiveSeisTraces;              // 29-32
  TextField<5> AuxType;                     // 33-36
  TextField<5> Unused1;                     // 37-40
  TextField<5> SourceType;                  // 41-44
  TextField<5> FireOrderControl;            // 45-48
  TextField<5> SamplesPerTrace;             // 49-52
  TextField<5> Unused2;                     // 53-56
  TextField<5> InputSignal;                 // 57-60
  TextField<5> SigGenShape;                 // 61-64
  TextField<5> SigGenLevel;                 // 65-68
  TextField<5> ShotNumber;                  // 69-72
  TextField<5> Unused3;                     // 73-76
  TextField<5> TimeBreakWindow;             // 77-80
  TextField<5> TestType;                    // 81-84
  TextField<5> SwathFirstLine;              // 85-88
  TextField<5> SwathFirstNumber;            // 89-92
  TextField<5> SpreadNumber;                // 93-96
  TextField<5> SpreadType;                  // 97-100
  TextField<5> ReceiverPointStep;           // 101-104
  TextField<64> SyntheticFileName;          // 105-168, bytes as characters
  TextField<5> AcqWithItb;                  // 169-172
  TextField<5> UpholeTime;                  // 173-176
  TextField<5> BlasterId;                   // 177-180
  TextField<5> BlasterStatus;               // 181-184
  TextField<5> SarSignalType;               // 185-188
  TextField<5> SarGeneratorLevel;           // 189-192
  TextField<5> SarPrestack;                 // 193-196
  TextField<5> TimebreakToT0;               // 197-200
  TextField<5> RadioRetries;                // 201-204
  TextField<5> SingleSyncErrors;            // 205-208
  TextField<5> AcqWithSyncErrors;           // 209-212
  TextField<5> FirstSyncErrorTime;          // 213-216
  TextField<5> ChannelsWithSyncError;       // 217-220
  TextField<5> AcqWithChannelSyncError;     // 221-224
  TextField<5> FirstChannelSyncErrorTime;   // 225-228
  TextField<5> ScanDataErrors;              // 229-232
  TextField<5> AcqWithScanDataError;        // 233-236
  TextField<5> FirstScanDataErrorTime;      // 237-240
  TextField<5> TxErrors;                    // 241-244
  TextField<5> AcqWithTxErrors;             // 245-248
  TextField<5> AcqWithInvalidStatus;        // 249-252
  TextField<5> ChannelErrorsInTraceHeader;  // 253-256
  TextField<5> NoiseEliminationType;        // 257-260
  TextField<5> LowTracePercentage;          // 261-264
  TextField<5> LowTraceValue;               // 265-268
  TextField<5> WindowCount;                 // 269-272
  TextField<5> HistoricEditType;            // 273-276
  TextField<5> NoisyTracePercentage;        // 277-280
  TextField<5> HistoricRange;               // 281-284
  TextField<5> HistoricTaperLength;         // 285-288
  TextField<5> ThresholdVar;                // 289-292
  TextField<5> HistoricInitialValue;        // 293-296
  TextField<5> HistoricZeroingLength;       // 297-300
  TextField<5> ProcessType;                 // 301-304
  TextField<128> AcquisitionTable;          // 305-432 as hex: bytes 305-368 kept
  TextField<128> ThresholdTypeTables;       // 433-560 as hex: bytes 433-496 kept
  TextField<5> StackingFold;                // 561-564
  TextField<80> AuxCorrelationDescriptor;   // 565-644, bytes as characters
  TextField<5> FftExponent;                 // 645-648
  TextField<5> InvestigationLength;         // 649-652
  TextField<5> AutoCorrelationTime;         // 653-656
  TextField<5> SourceAuxNumber;             // 657-660
  TextField<5> Source1AuxNumber;            // 661-664
  TextField<5> Source2AuxNumber;            // 665-668
  TextField<5> PilotLength;                 // 669-672
  TextField<5> SweepLength;                 // 673-676
  TextField<5> DumpStackFold;               // 677-680
  TextField<5> ExtraDump;                   // 681-684
  TextField<5> MaxOfMaxAux;                 // 685-688
  TextField<5> MaxOfMaxSeis;                // 689-692
  TextField<5> SourceNumber;                // 693-696
  TextField<4> Unused4;                     // 697-700
  TextField<5> TapeUnitNumber;              // 701-704
  TextField<16> TapeLabel;                  // 705-720, trimmed characters
  TextField<5> TapeNumber;                  // 721-724
  TextField<5> SourceLine;                  // 725-728, single precision
  TextField<5> SourcePoint;                 // 729-732, single precision
  TextField<5> TapeTransportMode;           // 733-736
  TextField<5> TraceHeaderExtensionCount;   // 737-740
  TextField<16> SoftwareVersion;            // 741-756, trimmed characters
  TextField<5> FileHeaderChecksum;          // 757-760
  TextField<5> FilesPerTape;                // 761-764
  TextField<5> FileCount;                   // 765-768
  TextField<5> SourcePointIndex;            // 769-772
  TextField<12> AcquisitionDate;            // 773-784, trimmed characters
  TextField<14> SlipsweepMode;              // 785-788
  TextField<5> TimeBreakMicroseconds;       // 789-792
  TextField<9> SourceEasting;               // 793-800, double precision
  TextField<9> SourceNorthing;              // 801-808, double precision
  TextField<5> SourceElevation;             // 809-812, single precision
  TextField<211> Unused5;                   // 813-1023 as hex: 105.5 bytes kept
  // Texts of the decoded codes.
  TextField<10> SourceTypeText;
  TextField<40> TestTypeText;
  TextField<40> SpreadTypeText;
  TextField<24> BlasterStatusMacha;
  TextField<24> BlasterStatusOpseis;
  TextField<24> BlasterStatusShotpro;
  TextField<16> NoiseEliminationText;
  TextField<8> HistoricEditText;
  TextField<4> ThresholdVarText;
  TextField<24> ProcessTypeText;
  TextField<80> ErrorInformation;  // the last complaint
};

// Fills every field from the first 1023 bytes (missing bytes read as zero)
// and checks the coded fields as they are filled. Returns 0 when every code
// is valid, otherwise the status of the last failing check (always
// positive), whose complaint is left in ErrorInformation.
std::int32_t DecodeExtendedHeader(ByteSpan bytes, ExtendedHeaderRecord& record);

}  // namespace segd

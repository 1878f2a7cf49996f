#pragma once
// Composes general SEG-D records (revisions 1.0 to 3.1, any make) from
// header values, for the round-trip tests, the batch tests and the
// benchmark. The SN388 writer (record_writer.h) stays as it is; this one
// writes what the general decoder reads:
//
//   GeneralRecord r = PresetRecord(Make::kSmartSolo, {2, 1}, 8058);
//   r.escapes = Escapes::All();
//   Bytes bytes = ComposeGeneral(r);
//
// Layout, in file order: general header block 1, the additional general
// header blocks, per scan type its channel set descriptors (32 bytes, rev 3
// 96 bytes; unused slots all zero) and its skew blocks, the extended and
// external header blocks, every trace (per scan type, per used channel set,
// per channel: 20-byte header, extensions, samples), the general trailer.
// Every count, length and number written in a header comes from the record description's
// values and the layout, so a record always agrees with itself unless a
// test changes the bytes afterwards.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tools/byte_put.h"

namespace segd::writer::general {

enum class Make : std::uint8_t { kSercel, kSmartSolo, kFairfield, kOther };

// Manufacturer code written in general header block 1 byte 17 (BCD).
std::uint32_t ManufacturerCode(Make make);  // 13, 61, 20; 77 for the other make
const char* MakeName(Make make);            // "sercel", "smartsolo", "fairfield", "other"

struct Revision {
  std::uint8_t major = 2;  // general header block 2 byte 11
  std::uint8_t minor = 1;  // byte 12
  bool Rev3() const { return major >= 3; }
};

// Which fields are written in their all-F form, the value going where the
// form points. The rev 3 ones are ignored in rev 1/2 records.
struct Escapes {
  bool fileNumber = false;        // GH1 1-2 FFFF → GH2 1-3; trace header 1-2 FFFF → 18-20
  bool recordLength = true;       // GH1 26-27 FFF → GH2 extended record length
  bool channelSets = false;       // GH1 29 FF → GH2 4-5
  bool extendedBlocks = false;    // GH1 31 FF → GH2 6-7 (rev 3: 6-8)
  bool externalBlocks = false;    // GH1 32 FF → GH2 8-9 (Fairfield 8-10; rev 3: 28-30)
  bool traceChannelSet = false;   // trace header 4 FF → 16-17
  bool receiverLine = false;      // extension 1 bytes 1-3 FFFFFF → 11-15
  bool receiverPoint = false;     // extension 1 bytes 4-6 FFFFFF → 16-20
  bool skewBlocks = false;        // rev 3: GH1 30 FF → GH2 9-10
  bool additionalBlocks = false;  // rev 3: GH1 12 high half F → GH2 23-24
  bool baseScanInterval = false;  // rev 3: GH1 23 FF → the channel sets' interval
  bool traceNumber = false;       // rev 3: trace header 5-6 FFFF → extension 1 bytes 22-24

  static Escapes All();
};

struct ChannelSet {
  bool used = true;                  // false: an all-zero descriptor slot, no traces
  std::uint32_t number = 1;          // byte 2 (BCD, up to 99) and bytes 27-28
  std::uint32_t channels = 1;        // bytes 9-10 BCD (rev 3: 21-23)
  std::uint32_t channelType = 1;     // byte 11 high half (rev 3: byte 4): 1 seismic, 9 auxiliary
  std::uint32_t samples = 1000;      // samples per trace (extension 1; rev 3 also bytes 13-16)
  std::uint32_t startTime = 0;       // bytes 3-4 in 2 ms (rev 3: 5-8, µs)
  std::uint32_t endTime = 0;         // bytes 5-6 in 2 ms (rev 3: 9-12, µs); 0: from samples × interval
  std::uint16_t descale = 0x840C;    // bytes 8 (high: sign and 2^4..2^-2) and 7 (low); rev 3 bytes 17-20 2^MP (single)
  std::uint32_t subscanExponent = 0; // byte 12 high half
  std::uint32_t gainControl = 3;     // byte 12 low half (rev 3: 29 low half)
  std::uint32_t aliasFrequency = 400, aliasSlope = 370;  // BCD 13-14 / 15-16 (rev 3: block 2)
  std::uint32_t lowCutFrequency = 3, lowCutSlope = 6;    // BCD 17-18 / 19-20
  std::uint32_t notch1 = 500, notch2 = 600, notch3 = 0;  // BCD 21-22 / 23-24 / 25-26
  std::uint32_t extensions = 1;      // trace header extensions: byte 29 low half (rev 3: byte 28)
  bool extensionCountInTrace = true; // false: trace header byte 10 is 0, the set's count stands
  std::uint32_t extendedHeaderFlag = 0;  // byte 29 high half
  std::uint32_t verticalStack = 1, streamer = 0, arrayForming = 0;  // bytes 30, 31, 32
  std::uint32_t intervalMicroseconds = 0;  // rev 3 bytes 24-26; 0: from the base scan interval
  std::string description;           // rev 3 block 3 bytes 5-31
};

// An all-zero descriptor slot.
inline ChannelSet UnusedSlot() {
  ChannelSet s;
  s.used = false;
  return s;
}

struct ScanType {
  std::vector<ChannelSet> sets;  // every scan type has the same number of slots
};

// The standard fields of one trace that are not fixed by its position in
// the walk. TraceValuesAt gives every trace distinct ones.
struct TraceValues {
  std::uint32_t firstTimingWord = 0;   // trace header 7-9
  std::uint8_t sampleSkew = 0;         // 11
  std::uint8_t traceEdit = 0;          // 12
  std::uint32_t timeBreakWindow = 0;   // 13-15
  std::uint32_t receiverLine = 0;      // extension 1: 1-3
  std::uint32_t receiverPoint = 0;     // 4-6
  std::uint8_t receiverIndex = 1;      // 7
  // 11-13 signed and 14-15 (/65536): the fraction takes the integer's
  // sign, -201 and 0x4000 being -201.25.
  std::int32_t extendedReceiverLine = 0;
  std::uint16_t extendedReceiverLineFraction = 0;
  std::int32_t extendedReceiverPoint = 0;     // 16-18
  std::uint16_t extendedReceiverPointFraction = 0;  // 19-20
  std::uint8_t sensorType = 2;         // 21
  std::uint8_t reshootIndex = 0, groupIndex = 0, depthIndex = 0;  // rev 3: 8, 9, 10
  std::uint8_t sensorMoving = 0, physicalUnit = 0;                // rev 3: 29, 31
};

// Where a trace lies in the walk (all 1-based but `index`).
struct TracePlace {
  std::uint64_t index = 0;  // 0-based across the record
  std::uint32_t scanType = 1;
  std::uint32_t channelSet = 1;  // the set's number
  std::uint32_t channel = 1;
  std::uint32_t samples = 0;
  std::uint32_t extensions = 0;
  bool countInTrace = true;  // trace header byte 10 holds `extensions` (else 0)
  std::uint64_t byteOffset = 0;
};

// A make's own field in a trace header extension (2 and up), rev 1/2.
// Fairfield's "1.6" (revision bytes 01 06) and ZSystem layouts differ.
// kFixed: a signed integer of `width` - 2 bytes then a 2-byte fraction
// (/65536) of the same sign.
enum class FieldCoding : std::uint8_t { kUnsigned, kSigned, kSingle, kDouble, kFixed };
struct MakeTraceField {
  const char* name;  // the data name the decoder gives it
  int extension;     // 2, 3, ...
  int byte;          // 1-based within the extension
  int width;
  FieldCoding coding;
  double stored = 1;  // the value is written times this (a make's cm or tenths): it reads back divided
};
std::span<const MakeTraceField> MakeTraceFields(Make make, Revision revision);
// The value written for field `field` of trace `index`: distinct from trace
// to trace and field to field, exact in the field's coding.
double MakeFieldValue(const MakeTraceField& field, std::size_t fieldIndex, std::uint64_t index);

enum class SampleFill : std::uint8_t { kZero, kPattern };  // pattern: byte i of a trace is i & 0xFF

enum class PadKind : std::uint8_t {
  kZero,     // zero bytes
  kTrailer,  // general trailer blocks the header does not announce
};

struct GeneralRecord {
  Make make = Make::kOther;
  Revision revision;
  std::uint32_t formatCode = 8058;

  // General header block 1 (and its block 2 counterparts).
  std::uint32_t fileNumber = 1;
  std::uint8_t constants[6] = {0, 0, 0, 0, 0, 0};  // GH1 5-10, as bytes
  std::uint32_t year = 21, julianDay = 128, hour = 20, minute = 6, second = 0;
  std::uint32_t manufacturerCode = 0;   // 0: ManufacturerCode(make)
  std::uint32_t serialNumber = 1234;
  std::uint32_t baseScanInterval = 16;  // GH1 23 in 1/16 ms
  std::uint32_t polarity = 0;
  std::uint32_t recordType = 8;
  std::uint32_t recordLengthBcd = 0;    // GH1 26-27 when not escaped
  std::uint32_t extendedRecordLength = 0;  // GH2 15-17 ms (rev 3: 17-20); 0: the longest set
  std::vector<ScanType> scanTypes;
  std::uint32_t skewBlocks = 0;         // per scan type
  std::uint32_t sequenceNumber = 0;     // rev 1/2 GH2 21-22; rev 3: record set number 21-22

  // Additional general header blocks after blocks 2 (and 3 in rev 3):
  // rev 1/2 write a source block (block 3) and then these; rev 3 writes
  // its block 3 (timestamp and sizes) and then these (type in byte 32).
  bool sourceBlock = true;              // rev 1/2: write general header block 3
  std::int32_t sourceLine = 7, sourcePoint = 100;
  std::uint16_t sourceLineFraction = 0x8000, sourcePointFraction = 0x4000;
  std::uint32_t sourcePointIndex = 1, sourceSetNumber = 1;
  std::vector<Block32> moreGeneralBlocks;
  std::uint64_t timestamp = 1304539578000000;  // rev 3 GH3 1-8

  std::optional<Bytes> extendedHeader;  // whole blocks; default: the make's (MakeExtendedHeader)
  std::optional<Bytes> externalHeader;  // whole blocks; default: the make's
  std::uint32_t trailerBlocks = 0;

  Escapes escapes;
  SampleFill sampleFill = SampleFill::kZero;
  // When given: each trace's sample values (`values` holds the trace's
  // count), written in the record's format by tools/sample_encoders.h;
  // sampleFill is then not used.
  std::function<void(const TracePlace& place, std::span<double> values)> sampleValues;

  // Damage, for the integrity tests: keep only the first `cutAt` bytes, or
  // add `padBytes` bytes after the record.
  std::optional<std::uint64_t> cutAt;
  std::uint64_t padBytes = 0;
  PadKind padKind = PadKind::kZero;
};

// A record as the make writes it: its general header block count, its
// channel set slots (`traces` channels spread over them), its extension
// count, its extended and external header sizes, and (rev 3) its blocks.
GeneralRecord PresetRecord(Make make, Revision revision, std::uint32_t formatCode, std::uint32_t traces = 12,
                           std::uint32_t samples = 100);

// Bytes per trace's samples: 8015 packs 4 samples in 10 bytes (a partial
// last group padded to 10); 0 for a format this writer does not know.
std::uint64_t SampleDataBytes(std::uint32_t formatCode, std::uint64_t samples);

std::uint32_t ExtensionsOf(const ChannelSet& set);  // as the trace writes them
TraceValues TraceValuesAt(const GeneralRecord& record, const TracePlace& place);

// The extended and external headers the record writes (whole blocks).
Bytes ExtendedHeaderOf(const GeneralRecord& record);
Bytes ExternalHeaderOf(const GeneralRecord& record);

struct GeneralLayout {
  std::uint64_t additionalBlocks = 0;  // general header blocks after block 1
  std::uint64_t headerBytes = 0;       // up to the first trace
  std::uint64_t traces = 0;
  std::uint64_t tracesEnd = 0;         // offset after the last trace
  std::uint64_t recordBytes = 0;       // with the trailer, before damage
  std::uint64_t fileBytes = 0;         // after cut or pad
};
GeneralLayout LayoutOfGeneral(const GeneralRecord& record);

// Calls `visit` for every trace in walk order.
void ForEachTrace(const GeneralRecord& record, const std::function<void(const TracePlace&)>& visit);

Bytes ComposeGeneral(const GeneralRecord& record);
// Streams the record to `path` without holding the traces in memory. False
// when the file could not be written completely.
bool WriteGeneralFile(const GeneralRecord& record, const std::filesystem::path& path);

}  // namespace segd::writer::general

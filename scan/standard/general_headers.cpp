// General header blocks 1, 2 and later: the revision, the counts with their
// escapes resolved from the raw bytes, and the order of the header blocks
// up to the first trace.
#include <array>
#include <cstdio>

#include "scan/standard/decoder_parts.h"
#include "scan/standard/general_header_tables.h"
#include "scan/makes/makes.h"
#include "scan/makes/manufacturers.h"

namespace segd::generic {

namespace {

using model::Block;
using model::RecordHeaders;

consteval const FieldSpec& G1(std::string_view name) { return Row(kGeneralHeader1, name); }

// The revisions whose layouts the decoder knows; Fairfield writes its own
// format version 1.6 in the rev 1/2 layout.
bool KnownRevision(int major, int minor) {
  return (major == 1 && (minor == 0 || minor == 6)) || (major == 2 && minor <= 1) || (major == 3 && minor <= 1);
}

int FullYear(int yy) { return (yy > 70 ? 1900 : 2000) + yy; }

// "2021-05-08" from the two-digit year and the day of the year.
std::string IsoDate(int yy, int day) {
  static constexpr int kMonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int year = FullYear(yy);
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  int month = 1;
  for (; month < 12; ++month) {
    const int length = kMonthLength[month - 1] + (month == 2 && leap ? 1 : 0);
    if (day <= length) break;
    day -= length;
  }
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

// A count of block 1: its BCD value, or, when all ones (an escape), the
// value block 2 gives. A count that is neither is read as 0, with a notice.
std::int64_t Count(std::span<const std::uint8_t> gh1, const FieldSpec& field, std::span<const std::uint8_t> gh2,
                   const FieldSpec* extended, const Notices& notices) {
  if (AllOnes(gh1, field)) {
    if (extended != nullptr && !gh2.empty()) return ReadInteger(gh2, *extended).value_or(0);
    notices.Warn("General header block 1 " + std::string(field.name) + " is all ones, and " +
                 (extended == nullptr ? std::string("this revision has no field it escapes to")
                                      : std::string("the record has no general header block 2")) +
                 "; read as 0.");
    return 0;
  }
  if (const std::optional<std::int64_t> v = ReadInteger(gh1, field)) return *v;
  notices.Warn("General header block 1 " + std::string(field.name) + " (" + RawDigits(gh1, field) +
               ") is not a decimal number; read as 0.");
  return 0;
}

}  // namespace

void Notices::Warn(std::string text) const {
  list.push_back({std::move(text), "SEG-D Record", model::NoticeLevel::Warning});
}

std::vector<std::uint8_t> ReadBytes(ByteSource& source, std::uint64_t offset, std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  if (count > 0) source.ReadAt(offset, bytes);  // an empty span has no buffer to copy into
  return bytes;
}

void AddSummary(RecordHeaders& headers, std::string_view name, model::Value value) {
  for (model::Field& f : headers.summary.fields) {
    if (f.name == name) {
      f.value = std::move(value);
      return;
    }
  }
  headers.summary.fields.push_back({std::string(name), "", std::move(value)});
}

bool DecodeGenericHeaders(ByteSource& source, const std::string& path, RecordHeaders& headers, RecordShape& shape,
                          std::vector<model::Notice>& noticeList) {
  const Notices notices{noticeList};
  shape.size = source.Size();
  headers.path = path;
  headers.sizeBytes = shape.size;
  headers.summary.name = "summary";
  if (shape.size < kBlockBytes) return false;

  std::array<std::uint8_t, kBlockBytes> gh1{};
  source.ReadAt(0, gh1);
  // A record's format code and scan type count are decimal digits; other
  // bytes (a text file, an image) are not SEG-D.
  const std::optional<std::int64_t> format = ReadInteger(gh1, G1("format_code"));
  const std::optional<std::int64_t> scanTypes = ReadInteger(gh1, G1("scan_types"));
  if (!format || !scanTypes) return false;

  Block block1{"general_header_1", {}};
  DecodeFields(gh1, kGeneralHeader1, block1);
  // The year as a full year (two digits: 1971-2070).
  for (model::Field& f : block1.fields) {
    if (f.name == "year" && f.value.kind == model::Value::Kind::Number)
      f.value = IntegerValue(FullYear(static_cast<int>(f.value.number)));
  }
  headers.generalHeaders.push_back(std::move(block1));
  shape.formatCode = static_cast<int>(*format);
  headers.formatCode = shape.formatCode;
  shape.manufacturerCode = static_cast<int>(ReadInteger(gh1, G1("manufacturer_code")).value_or(-1));
  headers.manufacturerCode = shape.manufacturerCode;
  headers.manufacturer = std::string(ManufacturerName(shape.manufacturerCode));

  // Block 2, when block 1 announces additional blocks; its bytes 11-12 (the
  // revision) sit at the same place in every layout.
  HeaderCounts counts;
  counts.additionalBlocks = *ReadInteger(gh1, G1("additional_blocks"));
  std::array<std::uint8_t, kBlockBytes> gh2bytes{};
  std::span<const std::uint8_t> gh2;
  if (counts.additionalBlocks >= 1) {
    source.ReadAt(kBlockBytes, gh2bytes);
    gh2 = gh2bytes;
    shape.revisionMajor = gh2bytes[10];
    shape.revisionMinor = gh2bytes[11];
    shape.rev3 = shape.revisionMajor >= 3;
    headers.revision = std::to_string(shape.revisionMajor) + "." + std::to_string(shape.revisionMinor);
    if (!KnownRevision(shape.revisionMajor, shape.revisionMinor)) {
      notices.Warn("Unknown SEG-D revision " + *headers.revision +
                   " in general header block 2 bytes 11-12; read with the rev " + (shape.rev3 ? "3" : "1/2") +
                   " layouts.");
    }
  }
  shape.generalConstants = ReadInteger(gh1, G1("general_constants"));
  shape.make = FindMake(shape);
  if (shape.make != nullptr) headers.make = shape.make->id;
  const bool fairfield = shape.manufacturerCode == 20 && !shape.rev3;
  const std::span<const FieldSpec> table2 = shape.rev3  ? std::span<const FieldSpec>(kGeneralHeader2Rev3)
                                            : fairfield ? std::span<const FieldSpec>(kGeneralHeader2Fairfield)
                                                        : std::span<const FieldSpec>(kGeneralHeader2);
  if (!gh2.empty()) {
    Block block2{"general_header_2", {}};
    DecodeFields(gh2, table2, block2);
    headers.generalHeaders.push_back(std::move(block2));
  }
  auto Gh2 = [&](std::string_view name) -> const FieldSpec* {
    for (const FieldSpec& f : table2) {
      if (f.name == name) return &f;
    }
    return nullptr;
  };
  if (shape.rev3 && counts.additionalBlocks == 0x0F)
    counts.additionalBlocks = ReadInteger(gh2, *Gh2("extended_additional_blocks")).value_or(0);

  // File number: block 1 bytes 1-2, FFFF → block 2 bytes 1-3.
  if (AllOnes(gh1, G1("file_number"))) {
    if (!gh2.empty()) shape.fileNumber = ReadInteger(gh2, *Gh2("extended_file_number"));
  } else {
    shape.fileNumber = ReadInteger(gh1, G1("file_number"));
  }
  if (shape.fileNumber) headers.fileNumber = IntegerValue(*shape.fileNumber);

  counts.scanTypes = *scanTypes;
  counts.channelSets = Count(gh1, G1("channel_sets"), gh2, Gh2("extended_channel_sets"), notices);
  counts.skewBlocks = Count(gh1, G1("skew_blocks"), gh2, shape.rev3 ? Gh2("extended_skew_blocks") : nullptr, notices);
  counts.extendedBlocks = Count(gh1, G1("extended_blocks"), gh2, Gh2("extended_header_blocks"), notices);
  counts.externalBlocks = Count(gh1, G1("external_blocks"), gh2, Gh2("external_header_blocks"), notices);
  if (!gh2.empty()) shape.trailerBlocks = ReadInteger(gh2, *Gh2("trailer_blocks")).value_or(0);

  // Base scan interval in 1/16 ms; rev 3 may write FF (the channel sets
  // then give the interval).
  const std::int64_t interval = ReadInteger(gh1, G1("base_scan_interval_ms")).value_or(0);
  if (!(shape.rev3 && interval == 0xFF)) counts.baseIntervalMs = interval / 16.0;

  // Date and time of block 1, and the record length (FFF: block 2's).
  const auto year = ReadInteger(gh1, G1("year")), day = ReadInteger(gh1, G1("julian_day"));
  if (year && day && *day >= 1 && *day <= 366)
    AddSummary(headers, "date", TextValue(IsoDate(static_cast<int>(*year), static_cast<int>(*day))));
  const auto hour = ReadInteger(gh1, G1("hour")), minute = ReadInteger(gh1, G1("minute")),
             second = ReadInteger(gh1, G1("second"));
  if (hour && minute && second) {
    char text[48];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(*hour), static_cast<int>(*minute),
                  static_cast<int>(*second));
    AddSummary(headers, "time", TextValue(text));
  }
  if (AllOnes(gh1, G1("record_length"))) {
    // Rev 1/2: ms. Rev 3: the unit is not confirmed; read as ms as well.
    if (!gh2.empty())
      AddSummary(headers, "record_length_ms",
                 IntegerValue(ReadInteger(gh2, *Gh2("extended_record_length")).value_or(0)));
  } else if (const auto length = ReadInteger(gh1, G1("record_length"))) {
    // Three digits xx.x in units of 1.024 s (the other reading, digits x
    // 0.512 s, is not confirmed by any record).
    AddSummary(headers, "record_length_ms", RealValue(static_cast<double>(*length) * 102.4));
  }

  // Blocks 3 and later, bounded by the file.
  const std::uint64_t afterGeneral = kBlockBytes * (1 + static_cast<std::uint64_t>(counts.additionalBlocks));
  if (counts.additionalBlocks > 1) DecodeAdditionalBlocks(source, shape, counts.additionalBlocks, headers);

  std::uint64_t offset = DecodeScanTypeHeaders(source, afterGeneral, counts, shape, headers, notices);
  DecodeExtendedHeader(source, offset, counts.extendedBlocks, shape, headers);
  offset += kBlockBytes * static_cast<std::uint64_t>(counts.extendedBlocks);
  DecodeExternalHeader(source, offset, counts.externalBlocks, shape, headers);
  offset += kBlockBytes * static_cast<std::uint64_t>(counts.externalBlocks);
  shape.firstTrace = offset;

  if (counts.baseIntervalMs > 0) {
    AddSummary(headers, "sample_interval_ms", RealValue(counts.baseIntervalMs));
  } else if (!gh2.empty() && shape.rev3) {
    // FF in block 1: the dominant interval of block 2, else the first
    // channel set's.
    std::int64_t us = ReadInteger(gh2, *Gh2("dominant_sample_interval_us")).value_or(0);
    if (us == 0 && !shape.sets.empty()) us = shape.sets.front().intervalUs;
    if (us > 0) AddSummary(headers, "sample_interval_ms", RealValue(static_cast<double>(us) / 1000.0));
  }
  if (shape.trailerBlocks > 0) AddSummary(headers, "trailer_blocks", IntegerValue(shape.trailerBlocks));

  // Demultiplexed formats have trace headers; multiplexed ones (0xxx) have
  // none, so there is nothing to walk.
  if (shape.formatCode < 1000) {
    shape.multiplexed = true;
    notices.Warn("Format code " + RawDigits(gh1, G1("format_code")) +
                 " is multiplexed: the record has no trace headers and no trace is listed.");
  } else if (!SampleBytes(shape.formatCode, 1)) {
    notices.Warn("Unknown format code " + RawDigits(gh1, G1("format_code")) +
                 ": samples are taken as 4 bytes each to walk the traces.");
  }
  return true;
}

}  // namespace segd::generic

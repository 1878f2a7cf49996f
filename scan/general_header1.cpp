#include "scan/general_header1.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "scan/code_tables.h"
#include "scan/header_image.h"

namespace segd {

namespace {

using R = GeneralHeader1Record;

constexpr RawFieldLayout<R> kLayout[] = {
    {SEGD_FIELD(R, FileNumber), 1, 4},
    {SEGD_FIELD(R, FormatCode), 5, 8},
    {SEGD_FIELD(R, GeneralConstants), 9, 20},
    {SEGD_FIELD(R, Year), 21, 22},
    {SEGD_FIELD(R, AdditionalBlocks), 23, 23},
    {SEGD_FIELD(R, JulianDay), 24, 26},
    {SEGD_FIELD(R, Hour), 27, 28},
    {SEGD_FIELD(R, Minute), 29, 30},
    {SEGD_FIELD(R, Second), 31, 32},
    {SEGD_FIELD(R, ManufacturerCode), 33, 34},
    {SEGD_FIELD(R, ManufacturerSerial), 35, 38},
    {SEGD_FIELD(R, BytesPerScan), 39, 44},
    {SEGD_FIELD(R, BaseScanInterval), 45, 46},
    {SEGD_FIELD(R, Polarity), 47, 47},
    {SEGD_FIELD(R, Unused1), 48, 50},
    {SEGD_FIELD(R, RecordType), 51, 51},
    {SEGD_FIELD(R, RecordLength), 52, 54},
    {SEGD_FIELD(R, ScanTypes), 55, 56},
    {SEGD_FIELD(R, ChannelSets), 57, 58},
    {SEGD_FIELD(R, SkewBlocks), 59, 60},
    {SEGD_FIELD(R, ExtendedHeaderLength), 61, 62},
    {SEGD_FIELD(R, ExternalHeaderLength), 63, 64},
};
static_assert(LayoutFits(kLayout, 64));

// Header lengths count 32-byte blocks; FF means the count is in block 2.
std::string HeaderBytesText(std::string_view digits) {
  if (digits == "FF") return "From GH2";
  return NumberText(DigitValue(digits) * 32, 15);
}

std::int16_t SmallValue(std::string_view digits) {
  // Two or three digits of the image, read in decimal; an exponent letter
  // among them (1E5) can spell more than 16 bits, so the value is held at the
  // 16-bit limits instead of wrapping to a negative day.
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(SaturatedCount(DigitValue(digits)), INT16_MIN, INT16_MAX));
}

}  // namespace

std::int32_t DecodeGeneralHeader1(ByteSpan bytes, GeneralHeader1Record& record) {
  const std::string image = BytesToHex(FixedBlock<32>(bytes));
  FillRawFields(image, kLayout, record);
  std::int32_t status = 0;

  const std::string_view format = record.FormatCode.View();
  const FormatCodeRow* row = FindFormatCode(format);
  if (row == nullptr) {
    record.FormatText.Store("Unknown");
    record.ErrorInformation.Store(std::string(format) + " is an invalid SEGD Format Code. This is not a SEG D File.");
    return kStatusBadFormat;
  }
  record.FormatText.Store(row->description);
  if (row->code == kVqc88FormatCode) {
    record.ManufacturerText.Store("Sercel");
    record.ErrorInformation.Store("Non Fatal Error - VQC88 file");
    return kStatusVqc88;
  }

  record.DateText.Store(YearDayToDate(SmallValue(record.Year.View()), SmallValue(record.JulianDay.View())));
  std::string time;
  time.append(record.Hour.View()).append(":").append(record.Minute.View()).append(":").append(record.Second.View());
  record.TimeText.Store(time);

  const double manufacturer = DigitValue(record.ManufacturerCode.View());
  if (const std::string_view* name = FindManufacturer(manufacturer)) {
    record.ManufacturerText.Store(*name);
    if (manufacturer == 13) record.SystemTypeText.Store(RecorderModel(DigitValue(record.GeneralConstants.View())));
  } else {
    record.ManufacturerText.Store("Unknown Manufacturer");
    record.ErrorInformation.Store("The Manufacturer code is not recognised");
    status = kStatusUnknownManufacturer;
  }

  if (const std::string_view* rate = FindSampleRate(record.BaseScanInterval.View())) {
    record.SampleRateText.Store(*rate);
  } else {
    record.SampleRateText.Store("0");
    record.ErrorInformation.Store("Invalid Sample Rate Code - the code to indicate sample rate is not correct");
    return kStatusBadSampleRate;
  }

  if (const std::string_view* type = FindRecordType(DigitValue(record.RecordType.View()))) {
    record.RecordTypeText.Store(*type);
  } else {
    record.RecordTypeText.Store("Unknown");
    record.ErrorInformation.Store("Invalid Record Type Code - The code indicating record type should be 2 or 8");
    return kStatusBadRecordType;
  }

  const std::string_view length = record.RecordLength.View();
  record.RecordLengthText.Store(length == "FFF" ? std::string_view("Ext Rec Len Used") : length);
  record.ExtendedHeaderBytesText.Store(HeaderBytesText(record.ExtendedHeaderLength.View()));
  record.ExternalHeaderBytesText.Store(HeaderBytesText(record.ExternalHeaderLength.View()));
  return status;
}

}  // namespace segd

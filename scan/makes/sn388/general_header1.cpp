#include "scan/makes/sn388/general_header1.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "scan/convert/code_tables.h"
#include "scan/makes/sn388/general_header_fields.h"

namespace segd {

namespace {

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
  FillFields(FixedBlock<general_fields::kBlockBytes>(bytes), general_fields::kBlock1, record);
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

#include "scan/general_headers_listing.h"

#include <string>

#include "scan/listing.h"
#include "scan/model_values.h"

namespace segd {

namespace {

using model::Reading;

// One line of the section: its label, the field it shows, its data name and
// how its text reads as a value. A suffix is written after the field's
// trimmed text ("1" and "mS" show as "1mS"); the value is read without it.
template <class R>
struct LabelledField {
  std::string_view label;
  std::string_view (*value)(const R&);
  std::string_view name;
  Reading reading;
  std::string_view suffix = {};

  std::string Shown(const R& record) const {
    if (suffix.empty()) return std::string(value(record));
    std::string text(TrimBlanks(value(record)));
    text.append(suffix);
    return text;
  }
};
#define SEGD_VALUE(Record, Member) [](const Record& r) { return r.Member.View(); }

using R1 = GeneralHeader1Record;
constexpr LabelledField<R1> kBlock1Raw[] = {
    {"Recorded File Number             : ", SEGD_VALUE(R1, FileNumber), "file_number", Reading::Bcd},
    {"SEG Format Code                  : ", SEGD_VALUE(R1, FormatCode), "format_code", Reading::Bcd},
    {"General Constants                : ", SEGD_VALUE(R1, GeneralConstants), "general_constants", Reading::Text},
    {"Year                             : ", SEGD_VALUE(R1, Year), "year", Reading::Bcd},
    {"Additional Data Blocks           : ", SEGD_VALUE(R1, AdditionalBlocks), "additional_blocks", Reading::Bcd},
    {"Julian Day                       : ", SEGD_VALUE(R1, JulianDay), "julian_day", Reading::Bcd},
    {"Hour                             : ", SEGD_VALUE(R1, Hour), "hour", Reading::Bcd},
    {"Minute                           : ", SEGD_VALUE(R1, Minute), "minute", Reading::Bcd},
    {"Second                           : ", SEGD_VALUE(R1, Second), "second", Reading::Bcd},
    {"Manufacturer's Code              : ", SEGD_VALUE(R1, ManufacturerCode), "manufacturer_code", Reading::Bcd},
    {"Manufacturer's Serial #          : ", SEGD_VALUE(R1, ManufacturerSerial), "manufacturer_serial", Reading::Bcd},
    {"Bytes per Scan                   : ", SEGD_VALUE(R1, BytesPerScan), "bytes_per_scan", Reading::Bcd},
    {"Sample Rate                      : ", SEGD_VALUE(R1, BaseScanInterval), "base_scan_interval", Reading::Binary},
    {"Polarity                         : ", SEGD_VALUE(R1, Polarity), "polarity", Reading::Binary},
    {"Unused                           : ", SEGD_VALUE(R1, Unused1), "unused_1", Reading::Text},
    {"Record Type                      : ", SEGD_VALUE(R1, RecordType), "record_type_code", Reading::Binary},
    {"Record Length                    : ", SEGD_VALUE(R1, RecordLength), "record_length_code", Reading::Bcd},
    {"Scan Type                        : ", SEGD_VALUE(R1, ScanTypes), "scan_types", Reading::Bcd},
    {"Numer of Channel Sets            : ", SEGD_VALUE(R1, ChannelSets), "channel_sets", Reading::Bcd},
    {"Number of Sample Skew Extentions : ", SEGD_VALUE(R1, SkewBlocks), "skew_blocks", Reading::Bcd},
    {"Extended Header Length           : ", SEGD_VALUE(R1, ExtendedHeaderLength), "extended_header_length", Reading::Bcd},
    {"External Header Length           : ", SEGD_VALUE(R1, ExternalHeaderLength), "external_header_length", Reading::Bcd},
};

constexpr LabelledField<R1> kBlock1Decoded[] = {
    {"SEG Format                       : ", SEGD_VALUE(R1, FormatText), "format", Reading::Text},
    {"Date                             : ", SEGD_VALUE(R1, DateText), "date", Reading::Text},
    {"Time                             : ", SEGD_VALUE(R1, TimeText), "time", Reading::Text},
    {"Manufacturer                     : ", SEGD_VALUE(R1, ManufacturerText), "manufacturer", Reading::Text},
    {"System Type                      : ", SEGD_VALUE(R1, SystemTypeText), "system_type", Reading::Text},
    {"Sample Rate                      : ", SEGD_VALUE(R1, SampleRateText), "sample_rate_ms", Reading::Number, "mS"},
    {"Record Type                      : ", SEGD_VALUE(R1, RecordTypeText), "record_type", Reading::Text},
    {"Record Length                    : ", SEGD_VALUE(R1, RecordLengthText), "record_length", Reading::Number},
    {"Extended Header Length           : ", SEGD_VALUE(R1, ExtendedHeaderBytesText), "extended_header_bytes",
     Reading::Number, " Bytes"},
    {"External Header Length           : ", SEGD_VALUE(R1, ExternalHeaderBytesText), "external_header_bytes",
     Reading::Number, " Bytes"},
};

using R2 = GeneralHeader2Record;
constexpr LabelledField<R2> kBlock2Raw[] = {
    {"Expanded File Number             : ", SEGD_VALUE(R2, ExpandedFileNumber), "expanded_file_number_raw", Reading::Binary},
    {"Extended Channel Sets            : ", SEGD_VALUE(R2, ExtendedChannelSets), "extended_channel_sets", Reading::Binary},
    {"Extended Header Blocks           : ", SEGD_VALUE(R2, ExtendedHeaderBlocks), "extended_header_blocks", Reading::Binary},
    {"External Header Blocks           : ", SEGD_VALUE(R2, ExternalHeaderBlocks), "external_header_blocks", Reading::Binary},
    {"Unused                           : ", SEGD_VALUE(R2, Unused1), "unused_1", Reading::Text},
    {"SEG D Revision Number            : ", SEGD_VALUE(R2, RevisionNumber), "revision_number", Reading::Text},
    {"Blocks in General Trailer        : ", SEGD_VALUE(R2, GeneralTrailerBlocks), "general_trailer_blocks", Reading::Binary},
    {"Extended Record Length           : ", SEGD_VALUE(R2, ExtendedRecordLength), "extended_record_length_raw", Reading::Binary},
    {"Unused                           : ", SEGD_VALUE(R2, Unused2), "unused_2", Reading::Text},
    {"General Header Block Number      : ", SEGD_VALUE(R2, BlockNumber), "block_number", Reading::Binary},
    {"Unused                           : ", SEGD_VALUE(R2, Unused3), "unused_3", Reading::Text},
};
constexpr LabelledField<R2> kBlock2Decoded[] = {
    {"Expanded File Number             : ", SEGD_VALUE(R2, ExpandedFileNumberText), "expanded_file_number", Reading::Number},
    {"SEG D Revision Number            : ", SEGD_VALUE(R2, RevisionText), "revision", Reading::Text},
    {"Extended Record Length           : ", SEGD_VALUE(R2, ExtendedRecordLengthText), "extended_record_length_ms", Reading::Number},
};

using R3 = GeneralHeader3Record;
constexpr LabelledField<R3> kBlock3Raw[] = {
    {"Expanded File Number             : ", SEGD_VALUE(R3, ExpandedFileNumber), "expanded_file_number", Reading::Binary},
    {"Source Line Number               : ", SEGD_VALUE(R3, SourceLineNumber), "source_line_number_raw", Reading::Text},
    {"Source Point Number              : ", SEGD_VALUE(R3, SourcePointNumber), "source_point_number_raw", Reading::Text},
    {"Source Point Index               : ", SEGD_VALUE(R3, SourcePointIndex), "source_point_index_raw", Reading::Binary},
    {"Phase Control                    : ", SEGD_VALUE(R3, PhaseControl), "phase_control", Reading::Binary},
    {"Vibrator Type                    : ", SEGD_VALUE(R3, VibratorType), "vibrator_type", Reading::Binary},
    {"Phase Angle                      : ", SEGD_VALUE(R3, PhaseAngle), "phase_angle", Reading::Text},
    {"General Header Block Number      : ", SEGD_VALUE(R3, BlockNumber), "block_number", Reading::Binary},
    {"Source Set Number                : ", SEGD_VALUE(R3, SourceSetNumber), "source_set_number", Reading::Binary},
    {"Unused                           : ", SEGD_VALUE(R3, Unused), "unused", Reading::Text},
};
constexpr LabelledField<R3> kBlock3Decoded[] = {
    {"Source Line Number               : ", SEGD_VALUE(R3, SourceLineText), "source_line", Reading::Number},
    {"Source Point Number              : ", SEGD_VALUE(R3, SourcePointText), "source_point", Reading::Number},
    {"Source Point Index               : ", SEGD_VALUE(R3, SourcePointIndexText), "source_point_index", Reading::Number},
};

template <class R, std::size_t N>
constexpr bool LabelsAre35(const LabelledField<R> (&fields)[N]) {
  for (const auto& f : fields) {
    if (f.label.size() != 35) return false;
  }
  return true;
}
static_assert(LabelsAre35(kBlock1Raw) && LabelsAre35(kBlock1Decoded) && LabelsAre35(kBlock2Raw) && LabelsAre35(kBlock2Decoded) &&
              LabelsAre35(kBlock3Raw) && LabelsAre35(kBlock3Decoded));

template <class R, std::size_t N>
void WriteFields(ReportWriter& report, const LabelledField<R> (&fields)[N], const R& record) {
  for (const auto& f : fields) WriteField(report, f.label, f.Shown(record));
}

template <class R, std::size_t N>
void AddFields(model::Block& block, const LabelledField<R> (&fields)[N], const R& record) {
  for (const auto& f : fields) {
    model::Field& field = block.fields.emplace_back();
    field.name = f.name;
    field.raw.clear();
    model::AppendWithoutNul(field.raw, f.Shown(record));
    model::SetValue(field.value, f.value(record), f.reading);
  }
}

// Data names are distinct within a block: raw and decoded fields together.
template <class A, std::size_t N, class B, std::size_t M>
constexpr bool NamesDistinct(const LabelledField<A> (&raw)[N], const LabelledField<B> (&decoded)[M]) {
  for (std::size_t i = 0; i < N + M; ++i) {
    const std::string_view a = i < N ? raw[i].name : decoded[i - N].name;
    for (std::size_t j = 0; j < i; ++j) {
      if (a == (j < N ? raw[j].name : decoded[j - N].name)) return false;
    }
  }
  return true;
}
static_assert(NamesDistinct(kBlock1Raw, kBlock1Decoded) && NamesDistinct(kBlock2Raw, kBlock2Decoded) &&
              NamesDistinct(kBlock3Raw, kBlock3Decoded));

void WriteBlockTitle(ReportWriter& report, std::string_view title) {
  report.WriteLine(title);
  report.WriteLine("======================");
}

}  // namespace

std::int32_t ListGeneralHeaders(const GeneralHeader1Record& block1, const GeneralHeader2Record& block2,
                                const GeneralHeader3Record& block3, ReportWriter& report) {
  WriteBanner(report, "General Headers");
  WriteBlockTitle(report, "General Header Block 1");
  WriteFields(report, kBlock1Raw, block1);
  WriteDecodedFieldsHeading(report);
  WriteFields(report, kBlock1Decoded, block1);

  report.WriteLine("");
  WriteBlockTitle(report, "General Header Block 2");
  WriteFields(report, kBlock2Raw, block2);
  WriteDecodedFieldsHeading(report);
  WriteFields(report, kBlock2Decoded, block2);

  report.WriteLine("");
  WriteBlockTitle(report, "General Header Block 3");
  WriteFields(report, kBlock3Raw, block3);
  WriteDecodedFieldsHeading(report);
  WriteFields(report, kBlock3Decoded, block3);

  report.WriteLine("");
  WriteBanner(report, "End Of General Headers");
  report.WriteLine("");
  return 0;
}

void AddGeneralHeaderBlocks(const GeneralHeader1Record& block1, const GeneralHeader2Record& block2,
                            const GeneralHeader3Record& block3, std::vector<model::Block>& blocks) {
  model::Block& b1 = blocks.emplace_back();
  b1.name = "general_header_1";
  AddFields(b1, kBlock1Raw, block1);
  AddFields(b1, kBlock1Decoded, block1);
  model::Block& b2 = blocks.emplace_back();
  b2.name = "general_header_2";
  AddFields(b2, kBlock2Raw, block2);
  AddFields(b2, kBlock2Decoded, block2);
  model::Block& b3 = blocks.emplace_back();
  b3.name = "general_header_3";
  AddFields(b3, kBlock3Raw, block3);
  AddFields(b3, kBlock3Decoded, block3);
}

}  // namespace segd

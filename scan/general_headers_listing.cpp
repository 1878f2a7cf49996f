#include "scan/general_headers_listing.h"

#include <string>

#include "scan/listing.h"

namespace segd {

namespace {

template <class R>
struct LabelledField {
  std::string_view label;
  std::string_view (*value)(const R&);
};
#define SEGD_VALUE(Record, Member) [](const Record& r) { return r.Member.View(); }

using R1 = GeneralHeader1Record;
constexpr LabelledField<R1> kBlock1Raw[] = {
    {"Recorded File Number             : ", SEGD_VALUE(R1, FileNumber)},
    {"SEG Format Code                  : ", SEGD_VALUE(R1, FormatCode)},
    {"General Constants                : ", SEGD_VALUE(R1, GeneralConstants)},
    {"Year                             : ", SEGD_VALUE(R1, Year)},
    {"Additional Data Blocks           : ", SEGD_VALUE(R1, AdditionalBlocks)},
    {"Julian Day                       : ", SEGD_VALUE(R1, JulianDay)},
    {"Hour                             : ", SEGD_VALUE(R1, Hour)},
    {"Minute                           : ", SEGD_VALUE(R1, Minute)},
    {"Second                           : ", SEGD_VALUE(R1, Second)},
    {"Manufacturer's Code              : ", SEGD_VALUE(R1, ManufacturerCode)},
    {"Manufacturer's Serial #          : ", SEGD_VALUE(R1, ManufacturerSerial)},
    {"Bytes per Scan                   : ", SEGD_VALUE(R1, BytesPerScan)},
    {"Sample Rate                      : ", SEGD_VALUE(R1, BaseScanInterval)},
    {"Polarity                         : ", SEGD_VALUE(R1, Polarity)},
    {"Unused                           : ", SEGD_VALUE(R1, Unused1)},
    {"Record Type                      : ", SEGD_VALUE(R1, RecordType)},
    {"Record Length                    : ", SEGD_VALUE(R1, RecordLength)},
    {"Scan Type                        : ", SEGD_VALUE(R1, ScanTypes)},
    {"Numer of Channel Sets            : ", SEGD_VALUE(R1, ChannelSets)},
    {"Number of Sample Skew Extentions : ", SEGD_VALUE(R1, SkewBlocks)},
    {"Extended Header Length           : ", SEGD_VALUE(R1, ExtendedHeaderLength)},
    {"External Header Length           : ", SEGD_VALUE(R1, ExternalHeaderLength)},
};

using R2 = GeneralHeader2Record;
constexpr LabelledField<R2> kBlock2Raw[] = {
    {"Expanded File Number             : ", SEGD_VALUE(R2, ExpandedFileNumber)},
    {"Extended Channel Sets            : ", SEGD_VALUE(R2, ExtendedChannelSets)},
    {"Extended Header Blocks           : ", SEGD_VALUE(R2, ExtendedHeaderBlocks)},
    {"External Header Blocks           : ", SEGD_VALUE(R2, ExternalHeaderBlocks)},
    {"Unused                           : ", SEGD_VALUE(R2, Unused1)},
    {"SEG D Revision Number            : ", SEGD_VALUE(R2, RevisionNumber)},
    {"Blocks in General Trailer        : ", SEGD_VALUE(R2, GeneralTrailerBlocks)},
    {"Extended Record Length           : ", SEGD_VALUE(R2, ExtendedRecordLength)},
    {"Unused                           : ", SEGD_VALUE(R2, Unused2)},
    {"General Header Block Number      : ", SEGD_VALUE(R2, BlockNumber)},
    {"Unused                           : ", SEGD_VALUE(R2, Unused3)},
};
constexpr LabelledField<R2> kBlock2Decoded[] = {
    {"Expanded File Number             : ", SEGD_VALUE(R2, ExpandedFileNumberText)},
    {"SEG D Revision Number            : ", SEGD_VALUE(R2, RevisionText)},
    {"Extended Record Length           : ", SEGD_VALUE(R2, ExtendedRecordLengthText)},
};

using R3 = GeneralHeader3Record;
constexpr LabelledField<R3> kBlock3Raw[] = {
    {"Expanded File Number             : ", SEGD_VALUE(R3, ExpandedFileNumber)},
    {"Source Line Number               : ", SEGD_VALUE(R3, SourceLineNumber)},
    {"Source Point Number              : ", SEGD_VALUE(R3, SourcePointNumber)},
    {"Source Point Index               : ", SEGD_VALUE(R3, SourcePointIndex)},
    {"Phase Control                    : ", SEGD_VALUE(R3, PhaseControl)},
    {"Vibrator Type                    : ", SEGD_VALUE(R3, VibratorType)},
    {"Phase Angle                      : ", SEGD_VALUE(R3, PhaseAngle)},
    {"General Header Block Number      : ", SEGD_VALUE(R3, BlockNumber)},
    {"Source Set Number                : ", SEGD_VALUE(R3, SourceSetNumber)},
    {"Unused                           : ", SEGD_VALUE(R3, Unused)},
};
constexpr LabelledField<R3> kBlock3Decoded[] = {
    {"Source Line Number               : ", SEGD_VALUE(R3, SourceLineText)},
    {"Source Point Number              : ", SEGD_VALUE(R3, SourcePointText)},
    {"Source Point Index               : ", SEGD_VALUE(R3, SourcePointIndexText)},
};

template <class R, std::size_t N>
constexpr bool LabelsAre35(const LabelledField<R> (&fields)[N]) {
  for (const auto& f : fields) {
    if (f.label.size() != 35) return false;
  }
  return true;
}
static_assert(LabelsAre35(kBlock1Raw) && LabelsAre35(kBlock2Raw) && LabelsAre35(kBlock2Decoded) &&
              LabelsAre35(kBlock3Raw) && LabelsAre35(kBlock3Decoded));

template <class R, std::size_t N>
void WriteFields(ReportWriter& report, const LabelledField<R> (&fields)[N], const R& record) {
  for (const auto& f : fields) WriteField(report, f.label, f.value(record));
}

void WriteBlockTitle(ReportWriter& report, std::string_view title) {
  report.WriteLine(title);
  report.WriteLine("======================");
}

std::string TrimmedWith(std::string_view value, std::string_view suffix) {
  std::string text(TrimBlanks(value));
  text.append(suffix);
  return text;
}

}  // namespace

std::int32_t ListGeneralHeaders(const GeneralHeader1Record& block1, const GeneralHeader2Record& block2,
                                const GeneralHeader3Record& block3, ReportWriter& report) {
  WriteBanner(report, "General Headers");
  WriteBlockTitle(report, "General Header Block 1");
  WriteFields(report, kBlock1Raw, block1);
  WriteDecodedFieldsHeading(report);
  WriteField(report, "SEG Format                       : ", block1.FormatText.View());
  WriteField(report, "Date                             : ", block1.DateText.View());
  WriteField(report, "Time                             : ", block1.TimeText.View());
  WriteField(report, "Manufacturer                     : ", block1.ManufacturerText.View());
  WriteField(report, "System Type                      : ", block1.SystemTypeText.View());
  WriteField(report, "Sample Rate                      : ", TrimmedWith(block1.SampleRateText.View(), "mS"));
  WriteField(report, "Record Type                      : ", block1.RecordTypeText.View());
  WriteField(report, "Record Length                    : ", block1.RecordLengthText.View());
  WriteField(report, "Extended Header Length           : ", TrimmedWith(block1.ExtendedHeaderBytesText.View(), " Bytes"));
  WriteField(report, "External Header Length           : ", TrimmedWith(block1.ExternalHeaderBytesText.View(), " Bytes"));

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

}  // namespace segd

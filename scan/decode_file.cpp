#include "scan/decode_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

#include "scan/channel_set.h"
#include "scan/extended_header.h"
#include "scan/external_header.h"
#include "scan/general_header1.h"
#include "scan/general_header23.h"
#include "scan/general_headers_listing.h"
#include "scan/report_name.h"
#include "scan/trace_listing.h"
#include "scan/trace_walk.h"

namespace segd {

namespace {

constexpr std::size_t kBlockSize = 32;
// The extended and external header decoders look at their first 1024 bytes
// only; the rest of a longer header is skipped, never held in memory.
constexpr std::size_t kHeaderBytesKept = 1024;
// Two decimal digits count the channel sets.
constexpr std::int32_t kMaxChannelSets = 99;

// A header length in 32-byte blocks: two decimal digits, or FF and a binary
// count in general header block 2.
std::int64_t HeaderBlocks(std::string_view lengthDigits, std::string_view blockDigits) {
  if (lengthDigits == "FF") return static_cast<std::int64_t>(std::min<std::uint64_t>(HexValue(blockDigits), 0xFFFF));
  return std::clamp<std::int32_t>(SaturatedCount(DigitValue(lengthDigits)), 0, 99);
}

// The decoded records of one run, each created full of NUL.
struct RunRecords {
  GeneralHeader1Record general1{};
  GeneralHeader2Record general2{};
  GeneralHeader3Record general3{};
  std::vector<ChannelSetRecord> channelSets;
  ExtendedHeaderRecord extended{};
  ExternalHeaderRecord external{};
};

class Run {
 public:
  Run(const std::string& inputPath, ScanContext& context) : inputPath_(inputPath), context_(context) {}

  std::int32_t Execute();

 private:
  // Shows the complaint of a status other than 0; false when the run must
  // stop.
  bool Accept(std::int32_t status, const TextField<80>& complaint) {
    if (status != 0) context_.notices.ShowNotice(complaint.View(), "", NoticeKind::Plain);
    return status >= 0;
  }
  // Reads `out.size()` bytes at the position and moves past them.
  void ReadBlock(std::span<std::uint8_t> out) {
    source_->ReadAt(position_, out);
    position_ += static_cast<std::int64_t>(out.size());
  }
  // Reads the first bytes of a header of `blocks` blocks (the rest reads as
  // zeros) and moves past the whole header.
  void ReadHeader(std::int64_t blocks, std::array<std::uint8_t, kHeaderBytesKept>& buffer) {
    const std::int64_t bytes = blocks * static_cast<std::int64_t>(kBlockSize);
    buffer.fill(0);
    const std::size_t kept = static_cast<std::size_t>(std::min<std::int64_t>(bytes, kHeaderBytesKept));
    source_->ReadAt(position_, std::span<std::uint8_t>(buffer.data(), kept));
    position_ += bytes;
  }
  bool DecodeHeaders();
  void WritePreamble(ReportWriter& report);
  void WriteSections(ReportWriter& report);
  void WalkTraces(ReportWriter& report);

  // " (reason)" after a path, when the file access knows one.
  std::string Because() const {
    const std::string reason = context_.files.FailureReason();
    return reason.empty() ? std::string() : " (" + reason + ")";
  }

  const std::string& inputPath_;
  ScanContext& context_;
  std::unique_ptr<ByteSource> source_;
  std::int64_t position_ = 0;  // 0-based offset of the next read
  RunRecords records_;
  std::int32_t channelSetCount_ = 0;
  std::int32_t traceCount_ = 0;
  std::int32_t firstCutTrace_ = 0;  // the first trace reaching past the end; 0 when none
};

bool Run::DecodeHeaders() {
  std::array<std::uint8_t, kBlockSize> block1{}, block2{}, block3{};
  ReadBlock(block1);
  ReadBlock(block2);
  ReadBlock(block3);
  if (!Accept(DecodeGeneralHeader1(block1, records_.general1), records_.general1.ErrorInformation)) return false;
  if (!Accept(DecodeGeneralHeader2(block2, records_.general2), records_.general2.ErrorInformation)) return false;
  // Block 3 is decoded once for every additional block past the first, over
  // the same bytes.
  const std::int32_t additional = SaturatedCount(DigitValue(records_.general1.AdditionalBlocks.View()));
  for (std::int32_t k = 2; k <= additional; ++k) {
    if (!Accept(DecodeGeneralHeader3(block3, records_.general3), records_.general3.ErrorInformation)) return false;
  }

  channelSetCount_ = std::clamp(SaturatedCount(DigitValue(records_.general1.ChannelSets.View())), 0, kMaxChannelSets);
  records_.channelSets.resize(static_cast<std::size_t>(channelSetCount_));
  for (ChannelSetRecord& channelSet : records_.channelSets) {
    std::array<std::uint8_t, kBlockSize> block{};
    ReadBlock(block);
    if (!Accept(DecodeChannelSet(block, channelSet), channelSet.ErrorInformation)) return false;
  }

  std::array<std::uint8_t, kHeaderBytesKept> extended{};
  ReadHeader(HeaderBlocks(records_.general1.ExtendedHeaderLength.View(), records_.general2.ExtendedHeaderBlocks.View()),
             extended);
  if (TrimBlanks(records_.general1.SystemTypeText.View()) == "SN388") {
    if (!Accept(DecodeExtendedHeader(extended, records_.extended), records_.extended.ErrorInformation)) return false;
  } else {
    context_.notices.ShowNotice("Not a valid SN388 File, Decode will continue, but results may not be valid!!",
                                "Invalid File", NoticeKind::Plain);
  }

  std::array<std::uint8_t, kHeaderBytesKept> external{};
  ReadHeader(HeaderBlocks(records_.general1.ExternalHeaderLength.View(), records_.general2.ExternalHeaderBlocks.View()),
             external);
  return Accept(DecodeExternalHeader(external, records_.external), records_.external.ErrorInformation);
}

void Run::WritePreamble(ReportWriter& report) {
  const auto& g1 = records_.general1;
  const auto& g3 = records_.general3;
  const auto& ext = records_.extended;
  auto line = [&report](std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts) report.Write(part);
    report.WriteLine("");
  };
  line({"Disk File      : ", inputPath_});
  line({"Recorder File  : ", g1.FileNumber.View()});
  line({"Recorded       : ", g1.DateText.View(), " at ", g1.TimeText.View(), " Julian Day = ", g1.JulianDay.View()});
  line({"Software Ver   : ", TrimBlanks(ext.SoftwareVersion.View())});
  line({"Tape           : ", TrimBlanks(ext.TapeLabel.View()), TrimBlanks(ext.TapeNumber.View())});
  line({"Record Type    : ", g1.RecordTypeText.View()});
  line({"Sample Rate    : ", TrimBlanks(g1.SampleRateText.View()), "mS"});
  line({"Record Length  : ", TrimBlanks(ext.AcquisitionLength.View()), "mS"});
  line({"Total Traces   : ", TrimBlanks(ext.TotalTraces.View())});
  line({"Source Line    : ", TrimBlanks(g3.SourceLineText.View()), " Source Point ", TrimBlanks(g3.SourcePointText.View())});
  line({"Source Easting : ", TrimBlanks(ext.SourceEasting.View()), " Source Northing : ",
        TrimBlanks(ext.SourceNorthing.View()), " Source Elev : ", TrimBlanks(ext.SourceElevation.View())});
  report.WriteLine("");
}

void Run::WriteSections(ReportWriter& report) {
  const OutputSelection& selection = context_.selection;
  if (IsSelected(selection, kSelectGeneralHeaders)) {
    ListGeneralHeaders(records_.general1, records_.general2, records_.general3, report);
  }
  if (IsSelected(selection, kSelectChannelSets)) ListChannelSets(records_.channelSets, channelSetCount_ - 1, report);
  if (IsSelected(selection, kSelectExtendedHeader)) ListExtendedHeader(records_.extended, report);
  if (IsSelected(selection, kSelectExternalHeader)) ListExternalHeader(records_.external, report);
}

void Run::WalkTraces(ReportWriter& report) {
  const auto& ext = records_.extended;
  const std::int32_t samples = SaturatedCount(DigitValue(ext.SamplesPerTrace.View()));
  const std::int32_t traces = SaturatedCount(DigitValue(ext.TotalTraces.View()));
  const std::int32_t extensions = SaturatedCount(DigitValue(ext.TraceHeaderExtensionCount.View()));

  ListTraceHeading(context_.selection, context_.traceFields, report);
  context_.progress.SetRange(0, traces);
  std::int64_t position = position_ + 1;  // the walk counts from 1
  std::string line;
  traceCount_ = traces;
  const auto size = static_cast<std::int64_t>(std::min<std::uint64_t>(source_->Size(), INT64_MAX));
  for (std::int32_t i = 1; i <= traces && i > 0; ++i) {
    const std::int64_t start = position;
    ReadTrace(*source_, samples, position, extensions, context_.traceFields);
    // The trace's last byte (1-based) lies past the file: its header, at
    // least, when its samples count backwards.
    if (firstCutTrace_ == 0 && std::max(position, start + 1) - 1 > size) firstCutTrace_ = i;
    BuildTraceLine(i, context_.selection, context_.traceFields, line);
    report.WriteLine(line);
    context_.progress.SetPosition(i);
  }
}

std::int32_t Run::Execute() {
  source_ = context_.files.OpenRecord(inputPath_);
  if (!source_) {
    context_.notices.ShowNotice("Cannot open " + inputPath_ + Because(), "Open Failed", NoticeKind::Warning);
    return kNoReport;
  }
  if (!DecodeHeaders()) return kNoReport;

  const std::string trimmedName(TrimBlanks(context_.outputName.OutputName()));
  if (trimmedName.empty()) {
    context_.notices.ShowNotice("Enter a File Name for the Results", "Specify a File", NoticeKind::Warning);
    return kNoReport;
  }
  if (!UsableReportName(trimmedName, context_.separator)) {
    context_.notices.ShowNotice("The output name " + trimmedName + " cannot be used as a file name", "Specify a File",
                                NoticeKind::Warning);
    return kNoReport;
  }
  const std::string reportPath = ReportPath(context_.reportFolder, trimmedName, context_.separator);
  std::unique_ptr<ByteSink> sink = context_.files.CreateReport(reportPath, inputPath_);
  if (!sink) {
    context_.notices.ShowNotice("Cannot create the report file " + reportPath + Because(), "Report Not Written",
                                NoticeKind::Warning);
    return kNoReport;
  }

  ReportWriter report(*sink);
  WritePreamble(report);
  WriteSections(report);
  WalkTraces(report);
  const bool complete = report.Finish();
  sink.reset();
  source_.reset();
  if (!complete) {
    context_.notices.ShowNotice("The report file " + reportPath + " could not be written completely",
                                "Report Not Written", NoticeKind::Warning);
    return kNoReport;
  }
  if (firstCutTrace_ != 0) {
    const std::string n = std::to_string(firstCutTrace_);
    context_.notices.ShowNotice("The record file ends inside trace " + n + " of " + std::to_string(traceCount_) +
                                    "; the traces from " + n + " on were read past its end",
                                "Record Cut Short", NoticeKind::Warning);
  }
  // The viewer opens only the report moved into place.
  if (IsSelected(context_.selection, kSelectViewReport)) context_.viewer.ViewReport(reportPath);
  return firstCutTrace_ != 0 ? kReportWrittenRecordCut : kReportWritten;
}

}  // namespace

std::int32_t DecodeFile(const std::string& inputPath, ScanContext& context) {
  // The records are a few kilobytes each: on the heap, not the stack.
  auto run = std::make_unique<Run>(inputPath, context);
  return run->Execute();
}

}  // namespace segd

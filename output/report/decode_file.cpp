#include "output/report/decode_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <vector>

#include "output/report/header_sections.h"
#include "output/report/report_name.h"
#include "scan/makes/sn388/sn388_decode.h"
#include "scan/standard/trace_batches.h"
#include "output/report/trace_listing.h"
#include "output/report/trace_texts.h"
#include "scan/makes/sn388/trace_walk.h"

namespace segd {

namespace {

class Run {
 public:
  Run(const std::string& inputPath, ScanContext& context) : inputPath_(inputPath), context_(context) {}

  std::int32_t Execute();

 private:
  bool DecodeHeaders();
  void WritePreamble(ReportWriter& report);
  void WriteSections(ReportWriter& report);
  void WalkTraces(ReportWriter& report);
  // Notes trace `sequence` read from 1-based `start`, the next one at `next`.
  void NoteTrace(std::int32_t sequence, std::int64_t start, std::int64_t next);

  // " (reason)" after a path, when the file access knows one.
  std::string Because() const {
    const std::string reason = context_.files.FailureReason();
    return reason.empty() ? std::string() : " (" + reason + ")";
  }

  const std::string& inputPath_;
  ScanContext& context_;
  std::unique_ptr<ByteSource> source_;
  Sn388Headers records_;
  std::int32_t traceCount_ = 0;
  std::int32_t firstCutTrace_ = 0;  // the first trace reaching past the end; 0 when none
};

bool Run::DecodeHeaders() {
  return DecodeSn388Headers(*source_, records_, context_.notices);
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
  if (IsSelected(selection, kSelectChannelSets)) ListChannelSets(records_.channelSets, records_.channelSetCount - 1, report);
  if (IsSelected(selection, kSelectExtendedHeader)) ListExtendedHeader(records_.extended, report);
  if (IsSelected(selection, kSelectExternalHeader)) ListExternalHeader(records_.external, report);
}

void Run::NoteTrace(std::int32_t sequence, std::int64_t start, std::int64_t next) {
  if (firstCutTrace_ != 0) return;
  // The trace's last byte (1-based) lies past the file: its header, at
  // least, when its samples count backwards. The size is asked anew: a file
  // that shrinks during the scan ends where its reads found its end.
  const auto size = static_cast<std::int64_t>(std::min<std::uint64_t>(source_->Size(), INT64_MAX));
  if (std::max(next, start + 1) - 1 > size) firstCutTrace_ = sequence;
}

void Run::WalkTraces(ReportWriter& report) {
  const std::int32_t samples = records_.SamplesPerTrace();
  const std::int32_t traces = records_.TotalTraces();
  const std::int32_t extensions = records_.TraceExtensions();

  ListTraceHeading(context_.selection, context_.traceFields, report);
  context_.progress.SetRange(0, traces);
  const TraceWalkPlan plan{samples, extensions, traces, records_.firstTraceOffset + 1};  // the walk counts from 1
  std::int64_t position = plan.firstPosition;
  traceCount_ = traces;
  // Each line is built from the decoded records; the column texts are set
  // once, from the last trace, which is what a walk leaves in them.
  TraceRecords records;
  const TraceLineBuilder cells(context_.selection, context_.traceFields);
  if (TraceBatchesSuit(*source_, plan)) {
    // Batches made on both cores, taken here in file order.
    const TraceLineFormat format(cells);
    RunTraceBatches(*source_, plan, format, [&](TraceBatch& batch) {
      report.Write(batch.text);
      for (std::int32_t k = 0; k < batch.count; ++k) {
        const std::int32_t i = batch.first + k;
        const std::int64_t start = position;
        position = NextTracePosition(position, samples, extensions);
        NoteTrace(i, start, position);
        context_.progress.SetPosition(i);
      }
      records = batch.last;
      return true;
    });
  } else {
    std::string line;
    for (std::int32_t i = 1; i <= traces && i > 0; ++i) {
      const std::int64_t start = position;
      ReadTraceRecords(*source_, samples, position, extensions, records);
      NoteTrace(i, start, position);
      cells.Build(i, records, line);
      report.WriteLine(line);
      context_.progress.SetPosition(i);
    }
  }
  if (traces > 0) SetTraceTexts(records, context_.traceFields);
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
  const std::string why = complete ? std::string() : sink->WhyFailed();
  sink.reset();
  source_.reset();
  if (!complete) {
    context_.notices.ShowNotice("The " + context_.files.ReportDescription(reportPath) + " could not be written completely" +
                                    (why.empty() ? "" : " (" + why + ")"),
                                "Report Not Written", NoticeKind::Warning);
    return kNoReport;
  }
  if (firstCutTrace_ != 0) {
    context_.notices.ShowNotice(RecordCutShortText(firstCutTrace_, traceCount_), kRecordCutShortCaption,
                                NoticeKind::Warning);
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

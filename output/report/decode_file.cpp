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
#include "output/report/trace_feed.h"
#include "output/report/trace_listing.h"
#include "output/report/trace_texts.h"
#include "scan/makes/sn388/trace_walk.h"

namespace segd {

class ReportRun::Run {
 public:
  Run(const std::string& inputPath, ScanContext& context) : inputPath_(inputPath), context_(context) {}

  std::int32_t Execute();
  // The steps of Execute: up to the trace table, the traces by the report's
  // own walk or fed by another, then the end.
  bool Start(ByteSource* borrowed);
  void WalkTraces();
  TraceFeed& Feed();
  std::int32_t Finish();

 private:
  bool DecodeHeaders();
  void WritePreamble(ReportWriter& report);
  void WriteSections(ReportWriter& report);
  // Notes trace `sequence` read from 1-based `start`, the next one at `next`.
  void NoteTrace(std::int32_t sequence, std::int64_t start, std::int64_t next);
  TraceWalkPlan Plan() const {
    // The walk counts from 1.
    return {records_.SamplesPerTrace(), records_.TraceExtensions(), records_.TotalTraces(),
            records_.firstTraceOffset + 1};
  }

  // " (reason)" after a path, when the file access knows one.
  std::string Because() const {
    const std::string reason = context_.files.FailureReason();
    return reason.empty() ? std::string() : " (" + reason + ")";
  }

  const std::string& inputPath_;
  ScanContext& context_;
  std::unique_ptr<ByteSource> owned_;
  ByteSource* source_ = nullptr;
  Sn388Headers records_;
  std::string reportPath_;
  std::unique_ptr<ByteSink> sink_;
  std::unique_ptr<ReportWriter> report_;
  std::unique_ptr<TraceLineBuilder> cells_;
  std::unique_ptr<TraceFeed> feed_;
  TraceRecords last_{};  // the last trace's, for the window's texts
  std::int32_t traceCount_ = 0;
  std::int32_t firstCutTrace_ = 0;  // the first trace reaching past the end; 0 when none
};

bool ReportRun::Run::DecodeHeaders() {
  return DecodeSn388Headers(*source_, records_, context_.notices);
}

void ReportRun::Run::WritePreamble(ReportWriter& report) {
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

void ReportRun::Run::WriteSections(ReportWriter& report) {
  const OutputSelection& selection = context_.selection;
  if (IsSelected(selection, kSelectGeneralHeaders)) {
    ListGeneralHeaders(records_.general1, records_.general2, records_.general3, report);
  }
  if (IsSelected(selection, kSelectChannelSets)) ListChannelSets(records_.channelSets, records_.channelSetCount - 1, report);
  if (IsSelected(selection, kSelectExtendedHeader)) ListExtendedHeader(records_.extended, report);
  if (IsSelected(selection, kSelectExternalHeader)) ListExternalHeader(records_.external, report);
}

void ReportRun::Run::NoteTrace(std::int32_t sequence, std::int64_t start, std::int64_t next) {
  if (firstCutTrace_ != 0) return;
  // The trace's last byte (1-based) lies past the file: its header, at
  // least, when its samples count backwards. The size is asked anew: a file
  // that shrinks during the scan ends where its reads found its end.
  const auto size = static_cast<std::int64_t>(std::min<std::uint64_t>(source_->Size(), INT64_MAX));
  if (std::max(next, start + 1) - 1 > size) firstCutTrace_ = sequence;
}

void ReportRun::Run::WalkTraces() {
  const TraceWalkPlan plan = Plan();
  const std::int32_t samples = plan.samplesPerTrace;
  const std::int32_t traces = plan.traces;
  const std::int32_t extensions = plan.extensionCount;
  ReportWriter& report = *report_;
  ByteSource& source = *source_;

  context_.progress.SetRange(0, traces);
  std::int64_t position = plan.firstPosition;
  // Each line is built from the decoded records; the column texts are set
  // once, from the last trace, which is what a walk leaves in them.
  TraceRecords& records = last_;
  const TraceLineBuilder& cells = *cells_;
  if (TraceBatchesSuit(source, plan)) {
    // Batches made on both cores, taken here in file order.
    const TraceLineFormat format(cells);
    RunTraceBatches(source, plan, format, [&](TraceBatch& batch) {
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
      ReadTraceRecords(source, samples, position, extensions, records);
      NoteTrace(i, start, position);
      cells.Build(i, records, line);
      report.WriteLine(line);
      context_.progress.SetPosition(i);
    }
  }
}

TraceFeed& ReportRun::Run::Feed() {
  if (!feed_) feed_ = std::make_unique<TraceFeed>(*source_, Plan(), *cells_, *report_);
  return *feed_;
}

bool ReportRun::Run::Start(ByteSource* borrowed) {
  if (borrowed != nullptr) {
    source_ = borrowed;
  } else {
    owned_ = context_.files.OpenRecord(inputPath_);
    source_ = owned_.get();
  }
  if (source_ == nullptr) {
    context_.notices.ShowNotice("Cannot open " + inputPath_ + Because(), "Open Failed", NoticeKind::Warning);
    return false;
  }
  if (!DecodeHeaders()) return false;

  const std::string trimmedName(TrimBlanks(context_.outputName.OutputName()));
  if (trimmedName.empty()) {
    context_.notices.ShowNotice("Enter a File Name for the Results", "Specify a File", NoticeKind::Warning);
    return false;
  }
  if (!UsableReportName(trimmedName, context_.separator)) {
    context_.notices.ShowNotice("The output name " + trimmedName + " cannot be used as a file name", "Specify a File",
                                NoticeKind::Warning);
    return false;
  }
  reportPath_ = ReportPath(context_.reportFolder, trimmedName, context_.separator);
  sink_ = context_.files.CreateReport(reportPath_, inputPath_);
  if (!sink_) {
    context_.notices.ShowNotice("Cannot create the report file " + reportPath_ + Because(), "Report Not Written",
                                NoticeKind::Warning);
    return false;
  }

  report_ = std::make_unique<ReportWriter>(*sink_);
  WritePreamble(*report_);
  WriteSections(*report_);
  ListTraceHeading(context_.selection, context_.traceFields, *report_);
  cells_ = std::make_unique<TraceLineBuilder>(context_.selection, context_.traceFields);
  traceCount_ = Plan().traces;
  return true;
}

std::int32_t ReportRun::Run::Finish() {
  if (feed_) {
    feed_->ListRest(last_);
    // Where the traces end against the end of the file, as the report's own
    // walk notes it.
    const TraceWalkPlan plan = Plan();
    std::int64_t position = plan.firstPosition;
    for (std::int32_t i = 1; i <= plan.traces && i > 0 && firstCutTrace_ == 0; ++i) {
      const std::int64_t start = position;
      position = NextTracePosition(position, plan.samplesPerTrace, plan.extensionCount);
      NoteTrace(i, start, position);
    }
  }
  if (traceCount_ > 0) SetTraceTexts(last_, context_.traceFields);
  const bool complete = report_->Finish();
  const std::string why = complete ? std::string() : sink_->WhyFailed();
  report_.reset();
  sink_.reset();
  owned_.reset();
  if (!complete) {
    context_.notices.ShowNotice("The " + context_.files.ReportDescription(reportPath_) + " could not be written completely" +
                                    (why.empty() ? "" : " (" + why + ")"),
                                "Report Not Written", NoticeKind::Warning);
    return kNoReport;
  }
  if (firstCutTrace_ != 0) {
    context_.notices.ShowNotice(RecordCutShortText(firstCutTrace_, traceCount_), kRecordCutShortCaption,
                                NoticeKind::Warning);
  }
  // The viewer opens only the report moved into place.
  if (IsSelected(context_.selection, kSelectViewReport)) context_.viewer.ViewReport(reportPath_);
  return firstCutTrace_ != 0 ? kReportWrittenRecordCut : kReportWritten;
}

std::int32_t ReportRun::Run::Execute() {
  if (!Start(nullptr)) return kNoReport;
  WalkTraces();
  return Finish();
}

std::int32_t DecodeFile(const std::string& inputPath, ScanContext& context) {
  // The records are a few kilobytes each: on the heap, not the stack.
  auto run = std::make_unique<ReportRun::Run>(inputPath, context);
  return run->Execute();
}

ReportRun::ReportRun(const std::string& inputPath, ScanContext& context)
    : run_(std::make_unique<Run>(inputPath, context)) {}
ReportRun::~ReportRun() = default;

bool ReportRun::Start(ByteSource& record) { return started_ = run_->Start(&record); }

model::RecordConsumer& ReportRun::Traces() { return run_->Feed(); }

std::int32_t ReportRun::Finish() { return started_ ? run_->Finish() : kNoReport; }

}  // namespace segd

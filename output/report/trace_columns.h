#pragma once
// The 30 per-trace fields of the SN388 report's trace table, one row each in
// the order of the selection entries 0-29: where the line takes the field's
// text from (the decoded trace records), the report's title and column
// width, the window's check box label, the selection's name for it and its
// value type. The report, the window and the usage text read this one table.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "scan/model/record_model.h"
#include "output/report/trace_fields.h"
#include "scan/makes/sn388/trace_header.h"

namespace segd {

struct TraceColumn {
  std::string_view title;  // report heading
  std::int32_t width;      // report column width
  std::string_view windowLabel;
  std::string_view name;   // data name
  model::ValueType type;
  bool flag;               // a trace error flag
  bool dead;               // says the trace is dead
  std::size_t offset;      // of the field's text in TraceRecords
  std::size_t textWidth;
};

#define SEGD_SOURCE(Member, Record, Field) \
  offsetof(TraceRecords, Member) + offsetof(Record, Field), decltype(Record::Field)::kWidth
#define SEGD_H(Field) SEGD_SOURCE(header, TraceHeaderRecord, Field)
#define SEGD_E1(Field) SEGD_SOURCE(extension1, TraceExtension1Record, Field)
#define SEGD_E2(Field) SEGD_SOURCE(extension2, TraceExtension2Record, Field)

namespace trace_columns {
using enum model::ValueType;
// The window's "Channel Set" would collide with the fixed column
// channel_set, so its data name follows the report title: chan_set.
inline constexpr TraceColumn kTable[] = {
    {"SU Number", 10, "SU Number", "su_number", Integer, false, false, SEGD_E1(SuNumber)},
    {"Line", 10, "Line", "line", Integer, false, false, SEGD_E1(ReceiverLine)},
    {"Point", 10, "Point", "point", Integer, false, false, SEGD_E1(ReceiverPoint)},
    {"Northing", 14, "Northing", "northing", Real, false, false, SEGD_E2(Northing)},
    {"Easting", 14, "Easting", "easting", Real, false, false, SEGD_E2(Easting)},
    {"Elevation", 10, "Elevation", "elevation", Real, false, false, SEGD_E2(Elevation)},
    {"Acq Unit Type", 15, "Acq Unit Type", "acq_unit_type", Text, false, false, SEGD_E1(UnitTypeText)},
    {"Chan Set", 10, "Channel Set", "chan_set", Integer, false, false, SEGD_H(ChannelSet)},
    {"Gain", 10, "Gain Code", "gain_code", Text, false, false, SEGD_E1(GainText)},
    {"Filter", 20, "Filter Type", "filter_type", Text, false, false, SEGD_E1(FilterText)},
    {"Noise Elim Type", 22, "Noise Elim Type", "noise_elim_type", Text, false, false, SEGD_E1(NoiseEliminationText)},
    {"Process Type", 40, "Process Type", "process_type", Text, false, false, SEGD_E1(ProcessTypeText)},
    {"Conv Fact", 15, "Conversion Factor", "conversion_factor", Real, false, false, SEGD_E1(ConversionFactor)},
    {"Rcvr Type", 15, "Receiver Type", "receiver_type", Integer, false, false, SEGD_E1(ReceiverType)},
    {"Chan Type", 30, "Channel Type", "channel_type", Text, false, false, SEGD_E1(ChannelTypeText)},
    {"Timing Word", 20, "Timing Word at 1st Samp.", "timing_word", Integer, false, false, SEGD_H(TimingWord)},
    {"Edited", 20, "Trace Edit", "trace_edit", Text, false, false, SEGD_H(TraceEditText)},
    {"TB to TBW", 20, "TB to End TBW", "tb_to_end_tbw", Integer, false, false, SEGD_H(TimeBreakWindow)},
    {"Num Stks Low", 20, "Num Stacks Low", "num_stacks_low", Integer, false, false, SEGD_E1(StacksLow)},
    {"Num Stks Noisy", 20, "Num Stacks Noisy", "num_stacks_noisy", Integer, false, false, SEGD_E1(StacksNoisy)},
    {"Res", 12, "Resistance", "resistance", Integer, false, false, SEGD_E1(Resistance)},
    {"SIM", 12, "SIM (%)", "sim", Integer, false, false, SEGD_E1(Sim)},
    {"IPLS Err", 10, "IPLS Error", "ipls_error", Bool, true, false, SEGD_E1(IplsError)},
    {"IMPD Err", 10, "IMPD Error", "impd_error", Bool, true, false, SEGD_E1(ImpedanceError)},
    {"Dead Err", 10, "Dead", "dead", Bool, true, true, SEGD_E1(DeadError)},
    {"UDR Err", 10, "Underrun Error", "underrun_error", Bool, true, false, SEGD_E1(UnderrunError)},
    {"OVR Err", 10, "Overrun Error", "overrun_error", Bool, true, false, SEGD_E1(OverrunError)},
    {"OVS Err", 10, "Overscale Error", "overscale_error", Bool, true, false, SEGD_E1(OverscaleError)},
    {"Data Err", 10, "Data Error", "data_error", Bool, true, false, SEGD_E1(DataError)},
    {"Sync Err", 10, "Sync Error", "sync_error", Bool, true, false, SEGD_E1(SyncError)},
};
}  // namespace trace_columns
#undef SEGD_SOURCE
#undef SEGD_H
#undef SEGD_E1
#undef SEGD_E2

inline constexpr const auto& kTraceColumnTable = trace_columns::kTable;
static_assert(std::size(kTraceColumnTable) == kTraceColumns);

// Every title is narrower than its column (no heading cell gains a blank);
// every source lies inside the records; data names are snake_case, distinct,
// and none is one of the fixed columns; exactly one column says dead.
constexpr bool TraceColumnsAreSound() {
  int deadColumns = 0;
  for (std::size_t i = 0; i < std::size(kTraceColumnTable); ++i) {
    const TraceColumn& c = kTraceColumnTable[i];
    if (static_cast<std::int32_t>(c.title.size()) >= c.width) return false;
    if (c.offset + c.textWidth > sizeof(TraceRecords) || c.textWidth == 0) return false;
    if (c.name.empty() || c.windowLabel.empty()) return false;
    for (char ch : c.name) {
      if (!((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '_')) return false;
    }
    for (std::string_view fixed : model::kFixedColumns) {
      if (c.name == fixed) return false;
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (kTraceColumnTable[j].name == c.name) return false;
    }
    if (c.dead && !c.flag) return false;
    if ((c.type == model::ValueType::Bool) != c.flag) return false;
    deadColumns += c.dead ? 1 : 0;
  }
  return deadColumns == 1;
}
static_assert(TraceColumnsAreSound());

// The column of a data name, or -1.
constexpr int TraceColumnIndex(std::string_view name) {
  for (std::size_t i = 0; i < std::size(kTraceColumnTable); ++i) {
    if (kTraceColumnTable[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace segd

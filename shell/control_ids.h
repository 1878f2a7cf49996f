#pragma once
// Control identifiers of the main window. The numbers are fixed: the command
// handling dispatches on them, and check box IDC_FIRST_SELECTION + k stands
// for OutputSelection entry k.
#include "output/report/trace_fields.h"

namespace segd {

inline constexpr int IDC_OPEN = 1004;
inline constexpr int IDC_END = 1005;
inline constexpr int IDC_FIELDS_GROUP = 1006;

// Per-trace fields, entries 0 to 29, in the order of the trace listing.
inline constexpr int IDC_SU_NUMBER = 1008;
inline constexpr int IDC_LINE = 1009;
inline constexpr int IDC_POINT = 1010;
inline constexpr int IDC_NORTHING = 1011;
inline constexpr int IDC_EASTING = 1012;
inline constexpr int IDC_ELEVATION = 1013;
inline constexpr int IDC_ACQ_UNIT_TYPE = 1014;
inline constexpr int IDC_CHANNEL_SET = 1015;
inline constexpr int IDC_GAIN_CODE = 1016;
inline constexpr int IDC_FILTER_TYPE = 1017;
inline constexpr int IDC_NOISE_ELIM_TYPE = 1018;
inline constexpr int IDC_PROCESS_TYPE = 1019;
inline constexpr int IDC_CONVERSION_FACTOR = 1020;
inline constexpr int IDC_RECEIVER_TYPE = 1021;
inline constexpr int IDC_CHANNEL_TYPE = 1022;
inline constexpr int IDC_TIMING_WORD = 1023;
inline constexpr int IDC_TRACE_EDIT = 1024;
inline constexpr int IDC_TB_TO_END_TBW = 1025;
inline constexpr int IDC_NUM_STACKS_LOW = 1026;
inline constexpr int IDC_NUM_STACKS_NOISY = 1027;
inline constexpr int IDC_RESISTANCE = 1028;
inline constexpr int IDC_SIM = 1029;
inline constexpr int IDC_IPLS_ERROR = 1030;
inline constexpr int IDC_IMPD_ERROR = 1031;
inline constexpr int IDC_DEAD = 1032;
inline constexpr int IDC_UNDERRUN_ERROR = 1033;
inline constexpr int IDC_OVERRUN_ERROR = 1034;
inline constexpr int IDC_OVERSCALE_ERROR = 1035;
inline constexpr int IDC_DATA_ERROR = 1036;
inline constexpr int IDC_SYNC_ERROR = 1037;
// Header sections, entries 30 to 33, and the viewer, entry 34.
inline constexpr int IDC_GENERAL_HEADERS = 1038;
inline constexpr int IDC_CHANNEL_SET_HEADERS = 1039;
inline constexpr int IDC_EXTENDED_HEADER = 1040;
inline constexpr int IDC_EXTERNAL_HEADER = 1041;
inline constexpr int IDC_VIEW_REPORT = 1042;

inline constexpr int IDC_PROGRESS = 1052;
inline constexpr int IDC_OUTPUT_LABEL = 1053;
inline constexpr int IDC_OUTPUT_NAME = 1054;
inline constexpr int IDC_CREDIT = 1055;
inline constexpr int IDC_ALL = 1056;
inline constexpr int IDC_NONE = 1057;
inline constexpr int IDC_HEADERS_GROUP = 1058;

inline constexpr int IDC_FIRST_SELECTION = IDC_SU_NUMBER;
inline constexpr int IDC_LAST_SELECTION = IDC_VIEW_REPORT;
// The boxes of entries 0 to 34: every entry but the unused 35 has one.
inline constexpr int kSelectionBoxes = IDC_LAST_SELECTION - IDC_FIRST_SELECTION + 1;
static_assert(kSelectionBoxes == kSelectionEntries - 1);
static_assert(IDC_SYNC_ERROR - IDC_FIRST_SELECTION == kTraceColumns - 1);
static_assert(IDC_GENERAL_HEADERS - IDC_FIRST_SELECTION == kSelectGeneralHeaders);
static_assert(IDC_EXTERNAL_HEADER - IDC_FIRST_SELECTION == kSelectExternalHeader);
static_assert(IDC_VIEW_REPORT - IDC_FIRST_SELECTION == kSelectViewReport);

constexpr int SelectionBox(int entry) { return IDC_FIRST_SELECTION + entry; }
constexpr bool IsSelectionBox(int id) { return id >= IDC_FIRST_SELECTION && id <= IDC_LAST_SELECTION; }
constexpr int SelectionEntry(int box) { return box - IDC_FIRST_SELECTION; }

}  // namespace segd

#pragma once
// The main window as data: caption, place and size in dialog units, font, and
// every control with its id, kind, text, place and size, in creation order
// (which is also the tab order). The Windows template is built from this
// table alone (dialog_template_win.h).
#include <array>
#include <cstdint>
#include <string_view>

#include "shell/control_ids.h"

namespace segd {

enum class ControlKind : std::uint8_t {
  FirstCheckBox,  // starts a control group; text left-aligned, vertically centred
  CheckBox,       // automatic check box, tab stop
  PushButton,
  GroupBox,
  ProgressBar,    // "msctls_progress32", bordered, smooth, red bar
  Label,          // left-aligned static text
  TextBox,        // single line, scrolls horizontally, sunken edge
};

struct ControlLayout {
  int id;
  ControlKind kind;
  std::string_view text;
  std::int16_t x, y, width, height;
};

struct WindowLayout {
  std::string_view caption;
  std::int16_t x, y, width, height;  // the client area, from the window's top-left
  std::string_view fontFace;
  std::int16_t fontPoints;
};

inline constexpr WindowLayout kMainWindow{"Kelvane", 204, 38, 306, 334, "MS Sans Serif", 8};

// The credit line of label IDC_CREDIT, drawn in red.
inline constexpr std::string_view kCreditLine = "segdreport - SN388 SEG-D field record header scanner";

// RGB(255, 0, 0) of the progress bar and the credit line, as a Windows
// COLORREF (0x00BBGGRR).
inline constexpr std::uint32_t kRedColour = 0x000000FF;

namespace layout_table {
using K = ControlKind;
inline constexpr std::array<ControlLayout, 45> kControls{{
    {IDC_SU_NUMBER, K::FirstCheckBox, "SU Number", 70, 17, 75, 15},
    {IDC_LINE, K::CheckBox, "Line", 70, 29, 75, 15},
    {IDC_POINT, K::CheckBox, "Point", 70, 41, 75, 15},
    {IDC_NORTHING, K::CheckBox, "Northing", 70, 53, 75, 15},
    {IDC_EASTING, K::CheckBox, "Easting", 70, 65, 75, 15},
    {IDC_ELEVATION, K::CheckBox, "Elevation", 70, 77, 75, 15},
    {IDC_ACQ_UNIT_TYPE, K::CheckBox, "Acq Unit Type", 70, 89, 75, 15},
    {IDC_CHANNEL_SET, K::CheckBox, "Channel Set", 70, 101, 75, 15},
    {IDC_GAIN_CODE, K::CheckBox, "Gain Code", 70, 113, 75, 15},
    {IDC_FILTER_TYPE, K::CheckBox, "Filter Type", 70, 125, 75, 15},
    {IDC_NOISE_ELIM_TYPE, K::CheckBox, "Noise Elim Type", 70, 137, 75, 15},
    {IDC_PROCESS_TYPE, K::CheckBox, "Process Type", 70, 149, 75, 15},
    {IDC_CONVERSION_FACTOR, K::CheckBox, "Conversion Factor", 70, 161, 75, 15},
    {IDC_RECEIVER_TYPE, K::CheckBox, "Receiver Type", 70, 173, 75, 15},
    {IDC_CHANNEL_TYPE, K::CheckBox, "Channel Type", 70, 185, 75, 15},
    {IDC_TIMING_WORD, K::CheckBox, "Timing Word at 1st Samp.", 70, 197, 90, 15},
    {IDC_TRACE_EDIT, K::CheckBox, "Trace Edit", 70, 209, 75, 15},
    {IDC_TB_TO_END_TBW, K::CheckBox, "TB to End TBW", 70, 221, 75, 15},
    {IDC_NUM_STACKS_LOW, K::CheckBox, "Num Stacks Low", 180, 77, 75, 15},
    {IDC_NUM_STACKS_NOISY, K::CheckBox, "Num Stacks Noisy", 180, 89, 75, 15},
    {IDC_RESISTANCE, K::CheckBox, "Resistance", 180, 101, 75, 15},
    {IDC_SIM, K::CheckBox, "SIM (%)", 180, 113, 75, 15},
    {IDC_IPLS_ERROR, K::CheckBox, "IPLS Error", 180, 125, 75, 15},
    {IDC_IMPD_ERROR, K::CheckBox, "IMPD Error", 180, 137, 75, 15},
    {IDC_DEAD, K::CheckBox, "Dead", 180, 149, 75, 15},
    {IDC_UNDERRUN_ERROR, K::CheckBox, "Underrun Error", 180, 161, 75, 15},
    {IDC_OVERRUN_ERROR, K::CheckBox, "Overrun Error", 180, 173, 75, 15},
    {IDC_OVERSCALE_ERROR, K::CheckBox, "Overscale Error", 180, 185, 75, 15},
    {IDC_DATA_ERROR, K::CheckBox, "Data Error", 180, 197, 75, 15},
    {IDC_SYNC_ERROR, K::CheckBox, "Sync Error", 180, 209, 75, 15},
    {IDC_GENERAL_HEADERS, K::CheckBox, "General Headers", 185, 22, 70, 10},
    {IDC_CHANNEL_SET_HEADERS, K::CheckBox, "Channel Set Headers", 185, 32, 75, 10},
    {IDC_EXTENDED_HEADER, K::CheckBox, "Extended Header", 185, 42, 70, 10},
    {IDC_EXTERNAL_HEADER, K::CheckBox, "External Header", 185, 52, 75, 10},
    {IDC_VIEW_REPORT, K::CheckBox, "Display Results in Notepad Automatically", 135, 272, 150, 10},
    {IDC_OPEN, K::PushButton, "Open", 10, 15, 40, 20},
    {IDC_END, K::PushButton, "End", 10, 45, 40, 20},
    {IDC_FIELDS_GROUP, K::GroupBox, "Select Fields to Output", 60, 5, 235, 251},
    {IDC_PROGRESS, K::ProgressBar, "", 60, 296, 235, 15},
    {IDC_OUTPUT_LABEL, K::Label, "Output File Name", 60, 284, 65, 10},
    {IDC_OUTPUT_NAME, K::TextBox, "", 135, 284, 160, 10},
    {IDC_CREDIT, K::Label, kCreditLine, 70, 316, 220, 10},
    {IDC_ALL, K::PushButton, "All", 140, 232, 35, 15},
    {IDC_NONE, K::PushButton, "None", 185, 232, 35, 15},
    {IDC_HEADERS_GROUP, K::GroupBox, "File Headers", 175, 12, 95, 56},
}};
}  // namespace layout_table
inline constexpr const auto& kMainWindowControls = layout_table::kControls;

// Check box k of the table is the box of OutputSelection entry k.
constexpr bool SelectionBoxesLeadTheTable() {
  for (int k = 0; k < kSelectionBoxes; ++k) {
    const ControlLayout& c = kMainWindowControls[static_cast<std::size_t>(k)];
    if (c.id != SelectionBox(k)) return false;
    if (c.kind != (k == 0 ? ControlKind::FirstCheckBox : ControlKind::CheckBox)) return false;
  }
  return true;
}
static_assert(SelectionBoxesLeadTheTable());

constexpr bool ControlsFitTheWindow() {
  for (const ControlLayout& c : kMainWindowControls) {
    if (c.x < 0 || c.y < 0 || c.x + c.width > kMainWindow.width || c.y + c.height > kMainWindow.height) return false;
  }
  return true;
}
static_assert(ControlsFitTheWindow());

}  // namespace segd

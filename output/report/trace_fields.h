#pragma once
// The program-wide arrays the window (or command line) owns and lends to a
// scan: which fields and sections are selected, and the current trace's
// column texts and widths.
#include <array>
#include <cstdint>
#include <string>

namespace segd {

inline constexpr int kSelectionEntries = 36;
inline constexpr int kTraceColumns = 30;         // entries 0-29: per-trace fields
inline constexpr int kSelectGeneralHeaders = 30;
inline constexpr int kSelectChannelSets = 31;
inline constexpr int kSelectExtendedHeader = 32;
inline constexpr int kSelectExternalHeader = 33;
inline constexpr int kSelectViewReport = 34;

// An entry is selected only when it equals 1.
using OutputSelection = std::array<std::int32_t, kSelectionEntries>;

inline bool IsSelected(const OutputSelection& selection, int index) { return selection[static_cast<std::size_t>(index)] == 1; }

struct TraceFields {
  std::array<std::string, kSelectionEntries> Text;  // TraceFieldText
  std::array<std::int32_t, kSelectionEntries> Width{};  // TraceFieldWidth
};

}  // namespace segd

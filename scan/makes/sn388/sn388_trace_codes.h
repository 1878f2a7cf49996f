#pragma once
// The SN388 recorder's codes in trace header extension 1 and their texts:
// the report shows the texts, the data outputs the code and its label.
#include "scan/standard/trace_header_tables.h"

namespace segd::sn388 {

using generic::CodeLabel;

// Byte 14. The report's filter field keeps only the first decimal digit of
// the byte, so 12 and 120 both show as 1; the data outputs give the byte.
inline constexpr CodeLabel kFilterTable[] = {
    {0, "None"},
    {1, "Min Phase 0.5 Fn"},
    {2, "Min Phase 0.8 Fn"},
    {3, "Lin Phase 0.5 Fn"},
    {4, "Min Phase 0.8 Fn"},  // the recorder's manual names codes 2 and 4 alike
    {5, "SAR Filter"},
};

// Byte 16: the acquisition unit in the high half, the channel in the low.
inline constexpr CodeLabel kUnitTypeTable[] = {
    {0x0, "SU1 or SU6"},
    {0x1, "SAR4 or SAR6"},
};
inline constexpr CodeLabel kChannelTypeTable[] = {
    {0x0, "Unused"},
    {0x1, "Seis"},
    {0x3, "Uphole"},
    {0x9, "Signature, Filtered(Aux)"},
};

// Byte 17.
inline constexpr CodeLabel kNoiseEliminationTable[] = {
    {0x00, "No Noise Elimination"},
    {0x10, "Historic/Zeroing"},
    {0x11, "Historic/Clipping"},
    {0x20, "Diversity Stack"},
};

// Byte 18.
inline constexpr CodeLabel kProcessTypeTable[] = {
    {0x00, "None (raw data)"},
    {0x10, "Stack"},
    {0x21, "Correlation before stack"},
    {0x22, "Correlation after stack"},
    {0x31, "Negative time correlation before stack"},
    {0x32, "Negative time correlation after stack"},
    {0x41, "Positive time correlation before stack"},
    {0x42, "Positive time correlation after stack"},
};

}  // namespace segd::sn388

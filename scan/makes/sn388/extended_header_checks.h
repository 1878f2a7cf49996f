#pragma once
// The seventeen coded fields of the SN388 extended header: which codes are
// valid, the complaint and status of any other code, and the texts a code
// decodes to. One row per check, in header order.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "scan/makes/sn388/extended_header.h"

namespace segd::extended {

// A decoded-text field (its offset and width in the record) and its texts
// by code, starting at the lowest valid code. No texts: no decoded field.
struct DecodedText {
  std::size_t offset = 0;
  std::size_t width = 0;
  std::span<const std::string_view> texts;
};

struct CodeCheck {
  int firstByte;  // of the checked field, which is a decimal field
  int lowest;     // valid codes are lowest..highest
  int highest;
  std::int32_t status;
  // A complaint ending in " but is " has the code text appended.
  std::string_view complaint;
  // Stored into every decoded field for a code outside the set.
  std::string_view otherText;
  std::array<DecodedText, 3> decoded;
};

inline constexpr std::string_view kSourceTypes[] = {"Impulsive", "Vibrator"};
inline constexpr std::string_view kTestTypes[] = {
    "None",
    "SU distortion/dynamic",
    "SU rms/offset",
    "SU resistor impulse",
    "SU crosstalk",
    "SAR distortion",
    "SAR noise",
    "SAR resistor impulse",
    "SAR crosstalk",
    "SAR common mode",
    "Field receiver impulse",
    "Field receiver impulse model save",
    "Field noise",
    "Field crosstalk",
    "Field leakage",
};
inline constexpr std::string_view kSpreadTypes[] = {"Generic", "Absolute"};
// One blaster status code, read by three makes of blaster: an empty text
// leaves the field blank.
inline constexpr std::string_view kBlasterMacha[] = {
    "", "Low Battery", "High Voltage Ready", "", "Fired OK", "", "", "", "Fire Error",
};
inline constexpr std::string_view kBlasterOpseis[] = {
    "", "Blaster Ready", "Open Cap", "", "UH Error", "", "", "", "",
};
inline constexpr std::string_view kBlasterShotpro[] = {
    "Did Not Fire", "Shot Fired OK", "No Status Rx", "No UH Data", "Low Battery",
    "UH phone resistance err", "Bad Cap", "Can't Pick UH Time", "",
};
inline constexpr std::string_view kNoiseEliminationTypes[] = {"None", "Diversity Stack", "Historic", "Off"};
inline constexpr std::string_view kHistoricEditTypes[] = {"Zeroing", "Clipping"};
inline constexpr std::string_view kThresholdVars[] = {"Hold", "Var"};
// Codes 4 to 6 are valid and do nothing.
inline constexpr std::string_view kProcessTypes[] = {
    "No operation", "Stack", "Correlation After stack", "Correlation Before stack",
    "No operation", "No operation", "No operation",
};

#define SEGD_DECODED(Member, texts) \
  DecodedText { offsetof(ExtendedHeaderRecord, Member), decltype(ExtendedHeaderRecord::Member)::kWidth, texts }

inline constexpr CodeCheck kCodeChecks[] = {
    {13, 0, 1, 3, "UH Type Not Correct- should be 0 or 1", "", {}},
    {33, 2, 3, 3, "AUX Type Not Correct- should be 2 or 3 but is ", "", {}},
    {41, 0, 1, 3, "Source Type Not Correct- should be 0 or 1", "Unknown",
     {SEGD_DECODED(SourceTypeText, kSourceTypes)}},
    {45, 0, 5, 2, "FOC Type Not Correct- should be 0 to 5", "", {}},
    {57, 0, 9, 2, "SIG Type Not Correct- should be 0 to 9", "", {}},
    {61, 0, 11, 2, "SSS Type Not Correct- should be 0 to 11", "", {}},
    {81, 0, 14, 2, "TST Type Not Correct- should be 0 to 14", "Unknown", {SEGD_DECODED(TestTypeText, kTestTypes)}},
    {97, 0, 1, 3, "Spread Type Not Correct- should be 0 or 1", "Unknown",
     {SEGD_DECODED(SpreadTypeText, kSpreadTypes)}},
    {181, 0, 8, 4, "Blaster status code not recognised", "Unknown",
     {SEGD_DECODED(BlasterStatusMacha, kBlasterMacha), SEGD_DECODED(BlasterStatusOpseis, kBlasterOpseis),
      SEGD_DECODED(BlasterStatusShotpro, kBlasterShotpro)}},
    {185, 0, 5, 10, "SST Error, should be 0 to 5", "", {}},
    {193, 0, 1, 6, "SAR Prestack flag Error, should be 0 or 1 but is ", "", {}},
    {257, 0, 3, 7, "Noise elemination flag Error, should be 0,1,2 or 3 but is ", "Unknown",
     {SEGD_DECODED(NoiseEliminationText, kNoiseEliminationTypes)}},
    {273, 0, 1, 8, "Historic Editing flag Error, should be 0 or 1 but is ", "Unknown",
     {SEGD_DECODED(HistoricEditText, kHistoricEditTypes)}},
    {289, 0, 1, 9, "Threshold flag Error, should be 0 or 1 but is ", "Err", {SEGD_DECODED(ThresholdVarText, kThresholdVars)}},
    {301, 0, 6, 10, "Process type Error, should be 0 to 6 but is ", "Unknown",
     {SEGD_DECODED(ProcessTypeText, kProcessTypes)}},
    {681, 0, 1, 9, "XDT flag Error, should be 0 or 1 but is ", "", {}},
    {733, 0, 1, 9, "TTM flag Error, should be 0 or 1 but is ", "", {}},
};

#undef SEGD_DECODED

// Every decoded field has a text for each valid code, and every status is a
// complaint to show, never a reason to stop.
constexpr bool ChecksAreSound() {
  for (const CodeCheck& check : kCodeChecks) {
    if (check.lowest < 0 || check.highest < check.lowest || check.status <= 0) return false;
    for (const DecodedText& d : check.decoded) {
      if (!d.texts.empty() && d.texts.size() != static_cast<std::size_t>(check.highest - check.lowest + 1)) {
        return false;
      }
    }
  }
  return true;
}
static_assert(ChecksAreSound() && std::size(kCodeChecks) == 17);

// Runs the check of the field that starts at `firstByte`, if it has one, on
// the field's stored text: fills its decoded fields and, for a code outside
// the set, stores the complaint and sets `status`.
void CheckCode(int firstByte, std::string_view storedText, ExtendedHeaderRecord& record, std::int32_t& status);

}  // namespace segd::extended

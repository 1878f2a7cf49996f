#include "scan/makes/sn388/extended_header_checks.h"

#include <charconv>
#include <string>

#include "scan/makes/sn388/extended_header_layout.h"

namespace segd::extended {

namespace {

// Every check inspects a decimal field of the table, the checks come in
// header order, and every text they decode to is a field of the table that
// the checks fill (so the section lists it).
constexpr bool ChecksFollowTheLayout() {
  int previousByte = 0;
  for (const CodeCheck& check : kCodeChecks) {
    if (check.firstByte <= previousByte) return false;
    previousByte = check.firstByte;
    bool found = false;
    for (const FieldRow<R>& row : kFields) {
      if (row.place.first == Byte(check.firstByte).first) found = row.conversion == Conversion::Decimal;
    }
    for (const DecodedText& decoded : check.decoded) {
      bool listed = decoded.texts.empty();
      for (const FieldRow<R>& row : kFields) {
        listed = listed || (row.offset == decoded.offset && row.width == decoded.width &&
                            row.conversion == Conversion::Text);
      }
      found = found && listed;
    }
    if (!found) return false;
  }
  return true;
}
static_assert(ChecksFollowTheLayout());

// Codes are compared as texts: "07" or "7.0" would match no code, though the
// decimal text of a field never takes those forms.
std::ptrdiff_t CodeIndex(const CodeCheck& check, std::string_view code) {
  for (int value = check.lowest; value <= check.highest; ++value) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    if (code == std::string_view(digits, static_cast<std::size_t>(end - digits))) return value - check.lowest;
  }
  return -1;
}

}  // namespace

void CheckCode(int firstByte, std::string_view storedText, ExtendedHeaderRecord& record, std::int32_t& status) {
  for (const CodeCheck& check : kCodeChecks) {
    if (check.firstByte != firstByte) continue;
    const std::string_view code = TrimBlanks(storedText);
    const std::ptrdiff_t index = CodeIndex(check, code);
    for (const DecodedText& decoded : check.decoded) {
      if (decoded.texts.empty()) continue;
      const FieldRef field{reinterpret_cast<char*>(&record) + decoded.offset, decoded.width};
      field.Store(index >= 0 ? decoded.texts[static_cast<std::size_t>(index)] : check.otherText);
    }
    if (index >= 0) continue;
    std::string complaint(check.complaint);
    if (complaint.ends_with(" but is ")) complaint.append(code);
    record.ErrorInformation.Store(complaint);
    status = check.status;
  }
}

}  // namespace segd::extended

#include "output/report/padout.h"

#include <cstring>

namespace segd {

namespace {
std::string_view TrimBlanks(std::string_view text) {
  const char* first = text.data();
  const char* last = first + text.size();
  // Fixed-width fields end in runs of blanks: skip them eight at a time.
  while (last - first >= 8) {
    std::uint64_t word;
    std::memcpy(&word, last - 8, sizeof word);
    if (word != 0x2020202020202020ull) break;
    last -= 8;
  }
  while (last != first && last[-1] == ' ') --last;
  while (first != last && *first == ' ') ++first;
  return {first, static_cast<std::size_t>(last - first)};
}
}  // namespace

char* WritePadded(char* out, std::string_view text, int32_t width) {
  const std::size_t w = width < 0 ? 0 : static_cast<std::size_t>(width);
  text = TrimBlanks(text);
  if (text.size() > w) {
    if (w > 0) std::memcpy(out, text.data(), w);
    return out + w;
  }
  if (!text.empty()) std::memcpy(out, text.data(), text.size());
  // At least one blank follows a text that was not cut.
  const std::size_t blanks = w > text.size() ? w - text.size() : 1;
  std::memset(out + text.size(), ' ', blanks);
  return out + text.size() + blanks;
}

char* WritePaddedOverBlanks(char* out, std::string_view text, int32_t width) {
  const std::size_t w = width < 0 ? 0 : static_cast<std::size_t>(width);
  text = TrimBlanks(text);
  const std::size_t kept = text.size() > w ? w : text.size();
  if (kept > 0) std::memcpy(out, text.data(), kept);
  // Cut to the width, or padded to it with at least one blank.
  return out + (text.size() > w ? w : (text.size() < w ? w : w + 1));
}

void AppendPadded(std::string& line, std::string_view text, int32_t width) {
  const std::size_t at = line.size();
  line.resize(at + (width < 0 ? 0 : static_cast<std::size_t>(width)) + 1);
  char* const end = WritePadded(line.data() + at, text, width);
  line.resize(static_cast<std::size_t>(end - line.data()));
}

std::string PadOut(std::string_view text, int32_t width) {
  std::string cell;
  AppendPadded(cell, text, width);
  return cell;
}

}  // namespace segd

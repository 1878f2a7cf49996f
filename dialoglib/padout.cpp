#include "dialoglib/padout.h"

namespace segd {

namespace {
std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}
}  // namespace

void AppendPadded(std::string& line, std::string_view text, int32_t width) {
  const std::size_t w = width < 0 ? 0 : static_cast<std::size_t>(width);
  text = TrimBlanks(text);
  if (text.size() > w) {
    line.append(text.substr(0, w));
    return;
  }
  line.append(text);
  line.append(w > text.size() ? w - text.size() : 1, ' ');
}

std::string PadOut(std::string_view text, int32_t width) {
  std::string cell;
  AppendPadded(cell, text, width);
  return cell;
}

}  // namespace segd

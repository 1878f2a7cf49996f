// Column padding of the trace table cells.
#include "output/report/padout.h"

#include <gtest/gtest.h>

#include <string>

namespace segd {
namespace {

using namespace std::string_literals;

struct PadCase {
  const char* what;
  std::string text;
  int32_t width;
  std::string padded;
};

TEST(PadOut, TrimsBlanksThenCutsOrPadsToTheWidth) {
  const PadCase cases[] = {
      {"blanks around are trimmed, then padded", "  abc ", 5, "abc  "},
      {"exactly the width gets one blank more", "abcde", 5, "abcde "},
      {"longer than the width is cut", "abcdefg", 5, "abcde"},
      {"longer after trimming is cut", " abcdefg ", 5, "abcde"},
      {"empty text is all blanks", "", 3, "   "},
      {"blanks only trim to empty", "      ", 3, "   "},
      {"empty text with width 0 is one blank", "", 0, " "},
      {"width 0 cuts any text to nothing", "x", 0, ""},
      {"ten NULs are kept and padded", std::string(10, '\0'), 14,
       std::string(10, '\0') + "    "},
      {"NUL at the ends is not trimmed", "\0ab\0"s, 6, "\0ab\0  "s},
      {"tabs are not trimmed", "\tab\t", 4, "\tab\t "},
      {"inner blanks are kept", " a b ", 4, "a b "},
      {"negative width behaves as 0", "abc", -3, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PadOut(c.text, c.width), c.padded) << c.what;
  }
}

TEST(PadOut, ResultHasWidthCharactersUnlessTheTextFitsExactly) {
  for (int32_t width = 0; width < 12; ++width) {
    for (std::size_t length = 0; length < 14; ++length) {
      const std::string cell = PadOut(std::string(length, 'x'), width);
      const std::size_t expected =
          length == static_cast<std::size_t>(width) ? length + 1 : static_cast<std::size_t>(width);
      EXPECT_EQ(cell.size(), width == 0 && length == 0 ? 1u : expected)
          << "length " << length << " width " << width;
    }
  }
}

TEST(AppendPadded, AppendsTheSameCellAsPadOut) {
  std::string line = "12 ";
  AppendPadded(line, " 7 ", 4);
  AppendPadded(line, "abcdef", 3);
  AppendPadded(line, "xyz", 3);
  EXPECT_EQ(line, "12 7   abcxyz ");
}

}  // namespace
}  // namespace segd

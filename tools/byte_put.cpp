#include "tools/byte_put.h"

#include <bit>
#include <cstring>

namespace segd::writer {
namespace {

// Sets one half-byte, by 1-based image digit; digits outside the block are
// dropped.
void PutNibble(MutableBytes block, int digit, unsigned nibble) {
  if (digit < 1) return;
  const std::size_t index = static_cast<std::size_t>(digit - 1) / 2;
  if (index >= block.size()) return;
  std::uint8_t& byte = block[index];
  if (digit % 2 == 1) {
    byte = static_cast<std::uint8_t>((byte & 0x0F) | ((nibble & 0x0F) << 4));
  } else {
    byte = static_cast<std::uint8_t>((byte & 0xF0) | (nibble & 0x0F));
  }
}

}  // namespace

void PutDigits(MutableBytes block, int firstDigit, int digits, Coding coding, std::uint64_t value) {
  // Filled from the last (least significant) digit backwards.
  for (int i = digits - 1; i >= 0; --i) {
    unsigned nibble = 0;
    if (coding == Coding::kBinary) {
      nibble = static_cast<unsigned>(value & 0x0F);
      value >>= 4;
    } else if (value == kAllF) {
      nibble = 0x0F;
    } else {
      nibble = static_cast<unsigned>(value % 10);
      value /= 10;
    }
    PutNibble(block, firstDigit + i, nibble);
  }
}

void PutUnsigned(MutableBytes block, int position, int width, std::uint64_t value) {
  PutDigits(block, 2 * position - 1, 2 * width, Coding::kBinary, value);
}

void PutSingle(MutableBytes block, int position, float value) {
  PutUnsigned(block, position, 4, std::bit_cast<std::uint32_t>(value));
}

void PutDouble(MutableBytes block, int position, double value) {
  PutUnsigned(block, position, 8, std::bit_cast<std::uint64_t>(value));
}

void PutText(MutableBytes block, int position, int width, std::string_view text, char pad) {
  for (int i = 0; i < width; ++i) {
    const std::size_t index = static_cast<std::size_t>(position - 1 + i);
    if (position < 1 || index >= block.size()) break;
    const char c = static_cast<std::size_t>(i) < text.size() ? text[static_cast<std::size_t>(i)] : pad;
    block[index] = static_cast<std::uint8_t>(c);
  }
}

void PutBytes(MutableBytes block, int position, std::span<const std::uint8_t> bytes) {
  if (position < 1) return;
  const std::size_t from = static_cast<std::size_t>(position - 1);
  if (from >= block.size()) return;
  const std::size_t n = bytes.size() < block.size() - from ? bytes.size() : block.size() - from;
  if (n > 0) std::memcpy(block.data() + from, bytes.data(), n);
}

}  // namespace segd::writer

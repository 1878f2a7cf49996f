#pragma once
// Sample encoders, one per demultiplexed format, for the records the tests
// and tools write (the scanner only decodes). A value the format holds is
// written exactly; another is rounded to the nearest the format holds
// (saturating at its extremes; NaN writes 0 in the integer and fractional
// formats). One's complement formats write -0.0 as negative zero (all
// fraction bits set), so that a decoder's sign handling is tested too.
#include <cstdint>
#include <span>

namespace segd::writer {

// Writes `values` in format `code` into `out`, which holds the format's
// bytes of values.size() samples (8015: a partial last group is padded with
// zero words). False for a code without an encoder.
bool EncodeSamples(std::uint32_t code, std::span<const double> values, std::uint8_t* out);

// Every format code EncodeSamples writes.
std::span<const std::uint32_t> EncodedFormats();

}  // namespace segd::writer

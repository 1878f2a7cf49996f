#pragma once
// The demultiplexed sample formats: one table row per format code (GH1
// bytes 3-4), with its size, byte order, native type and decoder. The
// decoders are pure: bytes in, values out, no allocation.
//
//   const SampleFormat* f = FindSampleFormat(8058);
//   if (f == nullptr) notice(SampleFormatNotice(8058));
//   DecodeSamples(*f, bytes, floats);   // bytes: SampleBytes(*f, n) of them
//
// Value conventions (what each decoder returns, before any scaling):
//   8015  groups of 4 samples in 10 bytes: 2 bytes of four 4-bit exponents C
//         (sample 1 in the top half of byte 1), then four 16-bit words, sign
//         and 15-bit one's complement fraction: value = word × 2^(C−15).
//   8022  byte: sign, 3-bit exponent C of 4, 4-bit one's complement fraction
//         Q: value = ±Q/16 × 4^C.
//   8024  16 bits: sign, 3-bit exponent C of 4, 12-bit one's complement
//         fraction: value = ±Q/4096 × 4^C.
//   8042  byte: sign, 2-bit exponent C of 16, 5-bit magnitude: ±Q/32 × 16^C.
//   8044  16 bits: sign, 2-bit exponent C of 16, 13-bit magnitude:
//         ±Q/8192 × 16^C.
//   8048  IBM-style single: sign, 7-bit excess-64 exponent of 16, 24-bit
//         fraction (all 24 bits used): ±F/2^24 × 16^(E−64).
//   8036/9036, 8038/9038  24/32-bit two's complement integers.
//   8058/9058, 8080/9080  IEEE single/double as stored (NaN, infinities,
//         denormals kept).
// One's complement negative zero decodes as -0.0. 80xx are big-endian, 90xx
// little-endian.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace segd::samples {

enum class ByteOrder : std::uint8_t { kBig, kLittle };
// The type that holds every value of the format exactly.
enum class NativeType : std::uint8_t { kInt32, kFloat32, kFloat64 };

struct SampleFormat {
  int code;                  // e.g. 8058
  std::string_view name;     // "IEEE single"
  int groupSamples;          // samples per group: 4 for 8015, else 1
  int groupBytes;            // bytes per group: 10 for 8015
  ByteOrder order;
  NativeType native;
  bool exactInFloat32;       // every value of the format is a float32
  // The decoders: `n` samples from `bytes` (the format's bytes of n samples).
  void (*toFloat)(const std::uint8_t* bytes, std::size_t n, float* out);
  void (*toDouble)(const std::uint8_t* bytes, std::size_t n, double* out);
  void (*toInt32)(const std::uint8_t* bytes, std::size_t n, std::int32_t* out);  // kInt32 formats only
};

// Every format this reader decodes, in code order.
std::span<const SampleFormat> SampleFormats();

// nullptr for a multiplexed (00xx), illegal or unknown code.
const SampleFormat* FindSampleFormat(int code);

// Bytes of `samples` samples (8015: a partial last group takes its 10 bytes).
std::uint64_t SampleBytes(const SampleFormat& format, std::uint64_t samples);
// As above by code; 0 for a code FindSampleFormat does not know.
std::uint64_t SampleBytes(int code, std::uint64_t samples);
// How many whole samples `bytes` bytes hold (a cut trace's readable part).
std::uint64_t SamplesIn(const SampleFormat& format, std::uint64_t bytes);

// Why a code's samples are not read: "format 0058 is multiplexed: its samples
// are not read" or "format 1234 is not a sample format this reader knows:
// its samples are not read".
std::string SampleFormatNotice(int code);

// "float32", "float64", "int32".
std::string_view NativeTypeName(NativeType type);

// Decode min(out.size(), SamplesIn(bytes.size())) samples; return how many.
// The float32 variant counts in `inexact` (when given) the values that
// float32 does not hold exactly (int32 beyond 2^24, doubles, IBM values out
// of float range); NaN counts as exact.
std::size_t DecodeSamples(const SampleFormat& format, std::span<const std::uint8_t> bytes, std::span<float> out,
                          std::size_t* inexact = nullptr);
std::size_t DecodeSamples(const SampleFormat& format, std::span<const std::uint8_t> bytes, std::span<double> out);
// Only for kInt32 formats (returns 0 for the others).
std::size_t DecodeSamples(const SampleFormat& format, std::span<const std::uint8_t> bytes,
                          std::span<std::int32_t> out);

}  // namespace segd::samples

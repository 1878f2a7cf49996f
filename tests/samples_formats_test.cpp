// The sample decoders: hand-built vectors of every format (each exponent,
// ±1 LSB, extremes, negative zero, IBM overflow and underflow, denormals,
// infinities, NaN, little-endian forms), then a million values per format
// through the record writer's encoders and back. Expected values are
// written from the format definitions, never from the decoder.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "scan/samples/sample_formats.h"
#include "tools/sample_encoders.h"

namespace segd::samples {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Vector {
  int code;
  std::vector<std::uint8_t> bytes;
  std::vector<double> values;  // as the format defines them
};

// p(k) = 2^k.
double p(int k) { return std::ldexp(1.0, k); }

const Vector kVectors[] = {
    // 8015: exponents 0, 15, 1, 14 (sample 1 in the top half); words +1 LSB,
    // largest, one's complement -largest (0x8000) and -1 LSB (0xFFFE).
    {8015, {0x0F, 0x1E, 0x00, 0x01, 0x7F, 0xFF, 0x80, 0x00, 0xFF, 0xFE}, {p(-15), 32767, -32767 * p(-14), -p(-1)}},
    // negative zero, then a 5-sample trace: the second group holds one sample.
    {8015, {0x77, 0x77, 0xFF, 0xFF, 0x00, 0x02, 0x00, 0x80, 0xFF, 0x7F, 0x30, 0x00, 0x00, 0x03, 0, 0, 0, 0, 0, 0},
     {-0.0, 2 * p(-8), 0.5, -0.5, 3 * p(-12)}},
    // 8022: every exponent of 1 LSB (4^C/16), the largest, one's complement
    // -largest, -1 LSB and both negative zeros.
    {8022, {0x01, 0x11, 0x21, 0x31, 0x41, 0x51, 0x61, 0x71, 0x7F, 0x80, 0x8E, 0x8F, 0xFF, 0x00},
     {p(-4), p(-2), 1, 4, 16, 64, 256, 1024, 15360, -15.0 / 16, -p(-4), -0.0, -0.0, 0}},
    // 8024: 1 LSB at exponents 0, 1 and 7; largest; -largest; -1 LSB; -0.
    {8024, {0x00, 0x01, 0x10, 0x01, 0x70, 0x01, 0x7F, 0xFF, 0x80, 0x00, 0x8F, 0xFE, 0xFF, 0xFF, 0x20, 0x03},
     {p(-12), p(-10), 4, 16380, -4095.0 / 4096, -p(-12), -0.0, 3 * p(-8)}},
    // 8042: sign and magnitude; each exponent of 1 LSB (16^C/32); largest; -1 LSB; -0.
    {8042, {0x01, 0x21, 0x41, 0x61, 0x7F, 0x81, 0x80, 0xFF}, {p(-5), 0.5, 8, 128, 3968, -p(-5), -0.0, -3968}},
    // 8044.
    {8044, {0x00, 0x01, 0x20, 0x01, 0x40, 0x01, 0x60, 0x01, 0x7F, 0xFF, 0x80, 0x01, 0x80, 0x00, 0x9F, 0xFF},
     {p(-13), p(-9), p(-5), 0.5, 4095.5, -p(-13), -0.0, -8191 * p(-13)}},
    {8036, {0x00, 0x00, 0x01, 0x7F, 0xFF, 0xFF, 0x80, 0x00, 0x00, 0xFF, 0xFF, 0xFF}, {1, 8388607, -8388608, -1}},
    {9036, {0x01, 0x00, 0x00, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF}, {1, 8388607, -8388608, -1}},
    {8038, {0x7F, 0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x01},
     {2147483647.0, -2147483648.0, -1, 16777217}},
    {9038, {0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x01},
     {2147483647.0, -2147483648.0, -1, 16777217}},
    // 8048: 1, -1, 100, 0.5, 1/256, all 24 fraction bits, the largest
    // (overflows float32), the smallest (underflows it), -0.
    {8048, {0x41, 0x10, 0x00, 0x00, 0xC1, 0x10, 0x00, 0x00, 0x42, 0x64, 0x00, 0x00, 0x40, 0x80, 0x00, 0x00,
            0x3F, 0x10, 0x00, 0x00, 0x40, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01,
            0x80, 0x00, 0x00, 0x00},
     {1, -1, 100, 0.5, p(-8), 1 - p(-24), (1 - p(-24)) * p(252), p(-280), -0.0}},
    // IEEE: 1, the smallest denormal, infinities, NaN, -0, the largest.
    {8058, {0x3F, 0x80, 0, 0, 0, 0, 0, 0x01, 0x7F, 0x80, 0, 0, 0xFF, 0x80, 0, 0, 0x7F, 0xC0, 0, 0, 0x80, 0, 0, 0,
            0x7F, 0x7F, 0xFF, 0xFF},
     {1, p(-149), kInf, -kInf, kNaN, -0.0, static_cast<double>(std::numeric_limits<float>::max())}},
    {9058, {0, 0, 0x80, 0x3F, 0x01, 0, 0, 0, 0, 0, 0x80, 0x7F, 0, 0, 0x80, 0xFF, 0, 0, 0xC0, 0x7F, 0, 0, 0, 0x80},
     {1, p(-149), kInf, -kInf, kNaN, -0.0}},
    {8080, {0x3F, 0xF0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x7F, 0xF0, 0, 0, 0, 0, 0, 0,
            0x7F, 0xF8, 0, 0, 0, 0, 0, 0, 0xBF, 0xF0, 0, 0, 0, 0, 0, 1},
     {1, p(-1074), kInf, kNaN, -(1 + p(-52))}},
    {9080, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0xFF,
            0, 0, 0, 0, 0, 0, 0xF8, 0x7F},
     {1, p(-1074), -kInf, kNaN}},
};

bool Same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b)); }

TEST(SampleFormats, HandBuiltVectorsDecodeAsDefined) {
  for (const Vector& v : kVectors) {
    SCOPED_TRACE(v.code);
    const SampleFormat* f = FindSampleFormat(v.code);
    ASSERT_NE(f, nullptr);
    const std::size_t n = v.values.size();
    EXPECT_EQ(SampleBytes(*f, n), v.bytes.size());
    std::vector<double> wide(n);
    std::vector<float> narrow(n);
    std::size_t inexact = 0;
    ASSERT_EQ(DecodeSamples(*f, v.bytes, wide), n);
    ASSERT_EQ(DecodeSamples(*f, v.bytes, narrow, &inexact), n);
    std::size_t rounded = 0;
    for (std::size_t i = 0; i < n; ++i) {
      SCOPED_TRACE(i);
      EXPECT_TRUE(Same(wide[i], v.values[i])) << wide[i] << " vs " << v.values[i];
      const float expected = static_cast<float>(v.values[i]);
      EXPECT_TRUE(Same(narrow[i], expected)) << narrow[i] << " vs " << expected;
      if (!std::isnan(v.values[i]) && static_cast<double>(expected) != v.values[i]) ++rounded;
    }
    EXPECT_EQ(inexact, rounded);
    if (f->native == NativeType::kInt32) {
      std::vector<std::int32_t> ints(n);
      ASSERT_EQ(DecodeSamples(*f, v.bytes, ints), n);
      for (std::size_t i = 0; i < n; ++i) EXPECT_EQ(ints[i], static_cast<std::int64_t>(v.values[i]));
    }
    // A cut byte span decodes only its whole samples.
    const std::span<const std::uint8_t> cut(v.bytes.data(), v.bytes.size() - 1);
    EXPECT_EQ(DecodeSamples(*f, cut, wide), std::min<std::size_t>(n, SamplesIn(*f, cut.size())));
  }
}

TEST(SampleFormats, UnreadableCodesGiveANotice) {
  for (int code : {15, 58, 8059, 1234, 0, 200}) EXPECT_EQ(FindSampleFormat(code), nullptr) << code;
  EXPECT_EQ(SampleFormatNotice(58), "format 0058 is multiplexed: its samples are not read");
  EXPECT_EQ(SampleFormatNotice(8059), "format 8059 is not a sample format this reader knows: its samples are not read");
  EXPECT_EQ(SampleBytes(8015, 5), 20u);
  EXPECT_EQ(SampleBytes(8080, 3), 24u);
  EXPECT_EQ(SampleBytes(58, 3), 0u);
  // 8015's partial group: two exponent bytes, then whole words.
  const SampleFormat& f = *FindSampleFormat(8015);
  EXPECT_EQ(SamplesIn(f, 2), 0u);
  EXPECT_EQ(SamplesIn(f, 9), 3u);
  EXPECT_EQ(SamplesIn(f, 13), 4u);
  EXPECT_EQ(SamplesIn(f, 14), 5u);
}

// A random value each format holds, from its definition.
double RandomValue(int code, std::mt19937_64& rng) {
  auto u = [&](std::uint64_t n) { return static_cast<std::int64_t>(rng() % n); };
  const double sign = u(2) ? -1.0 : 1.0;
  switch (code) {
    case 8015: return sign * std::ldexp(static_cast<double>(u(32768)), static_cast<int>(u(16)) - 15);
    case 8022: return sign * std::ldexp(static_cast<double>(u(16)), 2 * static_cast<int>(u(8)) - 4);
    case 8024: return sign * std::ldexp(static_cast<double>(u(4096)), 2 * static_cast<int>(u(8)) - 12);
    case 8042: return sign * std::ldexp(static_cast<double>(u(32)), 4 * static_cast<int>(u(4)) - 5);
    case 8044: return sign * std::ldexp(static_cast<double>(u(8192)), 4 * static_cast<int>(u(4)) - 13);
    case 8036: case 9036: return static_cast<double>(u(1 << 24) - (1 << 23));
    case 8038: case 9038: return static_cast<double>(static_cast<std::int32_t>(rng()));
    case 8048: return sign * std::ldexp(static_cast<double>(u(1 << 24)), 4 * (static_cast<int>(u(128)) - 64) - 24);
    case 8058: case 9058: return static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(rng())));
    default: return std::bit_cast<double>(rng());  // 8080, 9080
  }
}

// One million values per format (a Debug build decodes them in well under
// a second; the encoders take most of the time).
TEST(SampleFormats, AMillionRandomValuesPerFormatRoundTrip) {
  constexpr std::size_t kValues = 1'000'000;
  std::mt19937_64 rng(24);
  std::vector<double> values(kValues), wide(kValues);
  std::vector<float> narrow(kValues);
  for (std::uint32_t code : writer::EncodedFormats()) {
    SCOPED_TRACE(code);
    const SampleFormat* f = FindSampleFormat(static_cast<int>(code));
    ASSERT_NE(f, nullptr);
    for (double& v : values) v = RandomValue(static_cast<int>(code), rng);
    std::vector<std::uint8_t> bytes(SampleBytes(*f, kValues));
    ASSERT_TRUE(writer::EncodeSamples(code, values, bytes.data()));
    ASSERT_EQ(DecodeSamples(*f, bytes, wide), kValues);
    ASSERT_EQ(DecodeSamples(*f, bytes, narrow), kValues);
    std::size_t wrong = 0, first = 0;
    for (std::size_t i = 0; i < kValues; ++i) {
      // Integers have no negative zero.
      const bool ok = f->native == NativeType::kInt32 ? wide[i] == values[i] : Same(wide[i], values[i]);
      if (!(ok && Same(narrow[i], static_cast<float>(wide[i]))) && wrong++ == 0) first = i;
    }
    EXPECT_EQ(wrong, 0u) << "first: " << values[first] << " read " << wide[first] << " / " << narrow[first];
  }
}

// The decoders take whole groups of words at a time where the machine
// allows and the rest one by one: every count up to a few groups, from
// every byte alignment, decodes as each sample decoded alone.
TEST(SampleFormats, BulkDecodingMatchesSampleBySampleAtEveryCountAndAlignment) {
  std::mt19937_64 rng(7);
  std::vector<std::uint8_t> buffer(8 * 40 + 8);
  for (std::uint8_t& b : buffer) b = static_cast<std::uint8_t>(rng());
  for (const SampleFormat& f : SampleFormats()) {
    if (f.groupSamples != 1) continue;  // 8015's groups are decoded whole in any case
    for (std::size_t align = 0; align < 4; ++align) {
      for (std::size_t n = 0; n <= 40; ++n) {
        SCOPED_TRACE(testing::Message() << f.code << ", " << n << " samples from byte " << align);
        const std::span<const std::uint8_t> bytes(buffer.data() + align, SampleBytes(f, n));
        std::vector<float> floats(n + 1, -7.0f), one(1);
        std::vector<std::int32_t> ints(n + 1, -7), oneInt(1);
        ASSERT_EQ(DecodeSamples(f, bytes, std::span(floats.data(), n)), n);
        if (f.toInt32 != nullptr) {
          ASSERT_EQ(DecodeSamples(f, bytes, std::span(ints.data(), n)), n);
        }
        for (std::size_t i = 0; i < n; ++i) {
          const auto sample = bytes.subspan(i * static_cast<std::size_t>(f.groupBytes), static_cast<std::size_t>(f.groupBytes));
          DecodeSamples(f, sample, std::span(one));
          ASSERT_TRUE(Same(floats[i], one[0])) << i;
          if (f.toInt32 == nullptr) continue;
          DecodeSamples(f, sample, std::span(oneInt));
          ASSERT_EQ(ints[i], oneInt[0]) << i;
        }
        EXPECT_EQ(floats[n], -7.0f);  // nothing written past the count
        EXPECT_EQ(ints[n], -7);
      }
    }
  }
}

}  // namespace
}  // namespace segd::samples

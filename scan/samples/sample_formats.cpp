// The sample format table and its decoders. Each decoder is one loop over
// the format's words; exponents go through small tables of exact powers
// (no ldexp or pow per sample), so every value is exact where the output
// type holds it.
#include "scan/samples/sample_formats.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <type_traits>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define SEGD_SAMPLES_SSSE3 1
#endif

namespace segd::samples {

namespace {

constexpr double Pow2(int k) {
  double r = 1;
  for (; k > 0; --k) r *= 2;
  for (; k < 0; ++k) r /= 2;
  return r;
}

template <std::size_t N, typename F>
constexpr auto MakeTable(F f) {
  std::array<decltype(f(0)), N> t{};
  for (std::size_t i = 0; i < N; ++i) t[i] = f(static_cast<int>(i));
  return t;
}

inline std::uint32_t Swap32(std::uint32_t w) { return __builtin_bswap32(w); }
inline std::uint64_t Swap64(std::uint64_t w) { return __builtin_bswap64(w); }

template <ByteOrder O>
inline std::uint32_t Load32(const std::uint8_t* p) {
  std::uint32_t w;
  std::memcpy(&w, p, 4);
  if constexpr ((O == ByteOrder::kBig) == (std::endian::native == std::endian::little)) w = Swap32(w);
  return w;
}

template <ByteOrder O>
inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  if constexpr ((O == ByteOrder::kBig) == (std::endian::native == std::endian::little)) w = Swap64(w);
  return w;
}

inline std::uint32_t Be16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0]) << 8 | p[1]; }

// 8015: a sample's exponent C gives 2^(C-15).
constexpr auto kBinary20Scale = MakeTable<16>([](int c) { return static_cast<float>(Pow2(c - 15)); });
// 8024: 4^C / 4096.
constexpr auto kQuaternary16Scale = MakeTable<8>([](int c) { return static_cast<float>(Pow2(2 * c - 12)); });
// 8044: 16^C / 8192.
constexpr auto kHexadecimal16Scale = MakeTable<4>([](int c) { return static_cast<float>(Pow2(4 * c - 13)); });
// 8048: 16^(E-64) / 2^24, exact in double for every E.
constexpr auto kIbmScale = MakeTable<128>([](int e) { return Pow2(4 * (e - 64) - 24); });
// The one-byte formats: every byte's value.
constexpr auto kQuaternary8 = MakeTable<256>([](int b) {
  // sign, 3-bit exponent of 4, 4-bit one's complement fraction (/16)
  const bool negative = b & 0x80;
  const int q = negative ? (~b & 0x0F) : (b & 0x0F);
  const float v = static_cast<float>(q * Pow2(2 * ((b >> 4) & 7) - 4));
  return negative ? -v : v;
});
constexpr auto kHexadecimal8 = MakeTable<256>([](int b) {
  // sign, 2-bit exponent of 16, 5-bit magnitude (/32)
  const float v = static_cast<float>((b & 0x1F) * Pow2(4 * ((b >> 5) & 3) - 5));
  return (b & 0x80) ? -v : v;
});

// A float with the sign bit of `negative` set: branch-free, and -0.0 for
// one's complement negative zero.
inline float Signed(float v, std::uint32_t negative) {
  return std::bit_cast<float>(std::bit_cast<std::uint32_t>(v) | negative << 31);
}

template <typename Out>
void Binary20(const std::uint8_t* b, std::size_t n, Out* out) {
  for (std::size_t i = 0; i < n; i += 4, b += 10) {
    const std::size_t k = std::min<std::size_t>(4, n - i);
    for (std::size_t j = 0; j < k; ++j) {
      const int c = (b[j / 2] >> (j % 2 == 0 ? 4 : 0)) & 0x0F;
      const std::uint32_t w = Be16(b + 2 + 2 * j);
      const std::uint32_t negative = w >> 15;
      const auto q = static_cast<float>((w ^ (0u - negative)) & 0x7FFF);
      out[i + j] = static_cast<Out>(Signed(q * kBinary20Scale[c], negative));
    }
  }
}

template <typename Out, const auto& kTable>
void ByteTable(const std::uint8_t* b, std::size_t n, Out* out) {
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<Out>(kTable[b[i]]);
}

template <typename Out>
void Quaternary16(const std::uint8_t* b, std::size_t n, Out* out) {
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t w = Be16(b + 2 * i);
    const std::uint32_t negative = w >> 15;
    const auto q = static_cast<float>((w ^ (0u - negative)) & 0x0FFF);
    out[i] = static_cast<Out>(Signed(q * kQuaternary16Scale[(w >> 12) & 7], negative));
  }
}

template <typename Out>
void Hexadecimal16(const std::uint8_t* b, std::size_t n, Out* out) {
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t w = Be16(b + 2 * i);
    const float v = static_cast<float>(w & 0x1FFF) * kHexadecimal16Scale[(w >> 13) & 3];
    out[i] = static_cast<Out>(Signed(v, w >> 15));
  }
}

#ifdef SEGD_SAMPLES_SSSE3
// Four 24-bit words per 16-byte load, put each in the top three bytes of a
// 32-bit lane by one byte shuffle and sign-extended by one arithmetic shift:
// the scalar loop below runs at a third of the memory's speed. Returns how
// many samples it decoded (whole groups of 8 whose loads stay inside the
// `n` samples' bytes); the caller decodes the rest.
template <ByteOrder O, typename Out>
__attribute__((target("ssse3"))) std::size_t Int24Ssse3(const std::uint8_t* b, std::size_t n, Out* out) {
  // Lane k takes bytes 3k..3k+2: a zero low byte, then the word's bytes
  // from least to most significant.
  const __m128i order = O == ByteOrder::kBig
                            ? _mm_setr_epi8(-1, 2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9)
                            : _mm_setr_epi8(-1, 0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11);
  std::size_t i = 0;
  // The second load of a group reads 16 bytes from byte 3i + 12.
  for (; 3 * (i + 8) + 4 <= 3 * n; i += 8) {
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 3 * i));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 3 * i + 12));
    const __m128i a = _mm_srai_epi32(_mm_shuffle_epi8(lo, order), 8);
    const __m128i c = _mm_srai_epi32(_mm_shuffle_epi8(hi, order), 8);
    if constexpr (std::is_same_v<Out, float>) {
      _mm_storeu_ps(out + i, _mm_cvtepi32_ps(a));
      _mm_storeu_ps(out + i + 4, _mm_cvtepi32_ps(c));
    } else {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), a);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4), c);
    }
  }
  return i;
}

// Big-endian 32-bit words, four per load, put in the machine's order by one
// byte shuffle (the compiler does not vectorize the scalar byte swap):
// integers (8038) as int32 or converted to float, singles (8058) as they
// are. Returns how many samples it decoded (whole groups of 4).
template <typename Word, typename Out>
__attribute__((target("ssse3"))) std::size_t Be32Ssse3(const std::uint8_t* b, std::size_t n, Out* out) {
  const __m128i order = _mm_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12);
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i w = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 4 * i)), order);
    if constexpr (std::is_same_v<Out, float> && std::is_same_v<Word, std::int32_t>) {
      _mm_storeu_ps(out + i, _mm_cvtepi32_ps(w));
    } else {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), w);
    }
  }
  return i;
}

bool HasSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}
#endif

// Two 24-bit words from one 8-byte load (the last pair, whose load may
// reach past the buffer, byte by byte).
template <ByteOrder O, typename Out>
void Int24(const std::uint8_t* b, std::size_t n, Out* out) {
  std::size_t i = 0;
#ifdef SEGD_SAMPLES_SSSE3
  if constexpr (std::is_same_v<Out, float> || std::is_same_v<Out, std::int32_t>) {
    if (HasSsse3()) i = Int24Ssse3<O>(b, n, out);
  }
#endif
  for (; i + 3 <= n; i += 2) {  // bytes 6 and 7 of the load are the next pair's
    const std::uint64_t w = Load64<O>(b + 3 * i);
    if constexpr (O == ByteOrder::kBig) {
      out[i] = static_cast<Out>(static_cast<std::int32_t>(static_cast<std::int64_t>(w) >> 40));
      out[i + 1] = static_cast<Out>(static_cast<std::int32_t>(static_cast<std::int64_t>(w << 24) >> 40));
    } else {
      out[i] = static_cast<Out>(static_cast<std::int32_t>(static_cast<std::int64_t>(w << 40) >> 40));
      out[i + 1] = static_cast<Out>(static_cast<std::int32_t>(static_cast<std::int64_t>(w << 16) >> 40));
    }
  }
  for (; i < n; ++i) {
    const std::uint8_t* p = b + 3 * i;
    const std::uint32_t u = O == ByteOrder::kBig ? (std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8)
                                                 : (std::uint32_t{p[2]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[0]} << 8);
    out[i] = static_cast<Out>(static_cast<std::int32_t>(u) >> 8);
  }
}

template <ByteOrder O, typename Out>
void Int32(const std::uint8_t* b, std::size_t n, Out* out) {
  std::size_t i = 0;
#ifdef SEGD_SAMPLES_SSSE3
  if constexpr (O == ByteOrder::kBig && (std::is_same_v<Out, float> || std::is_same_v<Out, std::int32_t>)) {
    if (HasSsse3()) i = Be32Ssse3<std::int32_t>(b, n, out);
  }
#endif
  for (; i < n; ++i) out[i] = static_cast<Out>(static_cast<std::int32_t>(Load32<O>(b + 4 * i)));
}

template <typename Out>
void Ibm(const std::uint8_t* b, std::size_t n, Out* out) {
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t w = Load32<ByteOrder::kBig>(b + 4 * i);
    const double v = static_cast<double>(w & 0x00FFFFFF) * kIbmScale[(w >> 24) & 0x7F];
    out[i] = static_cast<Out>(std::bit_cast<double>(std::bit_cast<std::uint64_t>(v) | std::uint64_t{w >> 31} << 63));
  }
}

template <ByteOrder O, typename Out>
void Single(const std::uint8_t* b, std::size_t n, Out* out) {
  std::size_t i = 0;
#ifdef SEGD_SAMPLES_SSSE3
  if constexpr (O == ByteOrder::kBig && std::is_same_v<Out, float>) {
    if (HasSsse3()) i = Be32Ssse3<float>(b, n, out);
  }
#endif
  for (; i < n; ++i) out[i] = static_cast<Out>(std::bit_cast<float>(Load32<O>(b + 4 * i)));
}

template <ByteOrder O, typename Out>
void Double(const std::uint8_t* b, std::size_t n, Out* out) {
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<Out>(std::bit_cast<double>(Load64<O>(b + 8 * i)));
}

constexpr ByteOrder kBig = ByteOrder::kBig;
constexpr ByteOrder kLittle = ByteOrder::kLittle;
using enum NativeType;

// One row per format: code, name, group, byte order, native type, exact in
// float32, decoders.
constexpr SampleFormat kFormats[] = {
    {8015, "20-bit binary exponent, 4 samples in 10 bytes", 4, 10, kBig, kFloat32, true, Binary20<float>, Binary20<double>, nullptr},
    {8022, "8-bit quaternary exponent", 1, 1, kBig, kFloat32, true, ByteTable<float, kQuaternary8>, ByteTable<double, kQuaternary8>, nullptr},
    {8024, "16-bit quaternary exponent", 1, 2, kBig, kFloat32, true, Quaternary16<float>, Quaternary16<double>, nullptr},
    {8036, "24-bit integer", 1, 3, kBig, kInt32, true, Int24<kBig, float>, Int24<kBig, double>, Int24<kBig, std::int32_t>},
    {8038, "32-bit integer", 1, 4, kBig, kInt32, false, Int32<kBig, float>, Int32<kBig, double>, Int32<kBig, std::int32_t>},
    {8042, "8-bit hexadecimal exponent", 1, 1, kBig, kFloat32, true, ByteTable<float, kHexadecimal8>, ByteTable<double, kHexadecimal8>, nullptr},
    {8044, "16-bit hexadecimal exponent", 1, 2, kBig, kFloat32, true, Hexadecimal16<float>, Hexadecimal16<double>, nullptr},
    {8048, "32-bit hexadecimal exponent (IBM)", 1, 4, kBig, kFloat64, false, Ibm<float>, Ibm<double>, nullptr},
    {8058, "IEEE single", 1, 4, kBig, kFloat32, true, Single<kBig, float>, Single<kBig, double>, nullptr},
    {8080, "IEEE double", 1, 8, kBig, kFloat64, false, Double<kBig, float>, Double<kBig, double>, nullptr},
    {9036, "24-bit integer, little-endian", 1, 3, kLittle, kInt32, true, Int24<kLittle, float>, Int24<kLittle, double>, Int24<kLittle, std::int32_t>},
    {9038, "32-bit integer, little-endian", 1, 4, kLittle, kInt32, false, Int32<kLittle, float>, Int32<kLittle, double>, Int32<kLittle, std::int32_t>},
    {9058, "IEEE single, little-endian", 1, 4, kLittle, kFloat32, true, Single<kLittle, float>, Single<kLittle, double>, nullptr},
    {9080, "IEEE double, little-endian", 1, 8, kLittle, kFloat64, false, Double<kLittle, float>, Double<kLittle, double>, nullptr},
};

std::string FourDigits(int code) {
  std::string s = std::to_string(code < 0 ? 0 : code % 10000);
  return std::string(4 - std::min<std::size_t>(4, s.size()), '0') + s;
}

}  // namespace

std::span<const SampleFormat> SampleFormats() { return kFormats; }

const SampleFormat* FindSampleFormat(int code) {
  for (const SampleFormat& f : kFormats) {
    if (f.code == code) return &f;
  }
  return nullptr;
}

std::uint64_t SampleBytes(const SampleFormat& f, std::uint64_t samples) {
  const auto group = static_cast<std::uint64_t>(f.groupSamples);
  return (samples + group - 1) / group * static_cast<std::uint64_t>(f.groupBytes);
}

std::uint64_t SampleBytes(int code, std::uint64_t samples) {
  const SampleFormat* f = FindSampleFormat(code);
  return f == nullptr ? 0 : SampleBytes(*f, samples);
}

std::uint64_t SamplesIn(const SampleFormat& f, std::uint64_t bytes) {
  const auto groupBytes = static_cast<std::uint64_t>(f.groupBytes);
  std::uint64_t n = bytes / groupBytes * static_cast<std::uint64_t>(f.groupSamples);
  // 8015: a partial group's words follow its two exponent bytes.
  const std::uint64_t rest = bytes % groupBytes;
  if (f.groupSamples > 1 && rest > 2) n += (rest - 2) / 2;
  return n;
}

std::string SampleFormatNotice(int code) {
  const std::string digits = FourDigits(code);
  if (code >= 0 && code < 1000) return "format " + digits + " is multiplexed: its samples are not read";
  return "format " + digits + " is not a sample format this reader knows: its samples are not read";
}

std::string_view NativeTypeName(NativeType type) {
  switch (type) {
    case NativeType::kInt32: return "int32";
    case NativeType::kFloat64: return "float64";
    case NativeType::kFloat32: break;
  }
  return "float32";
}

std::size_t DecodeSamples(const SampleFormat& f, std::span<const std::uint8_t> bytes, std::span<float> out,
                          std::size_t* inexact) {
  const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), SamplesIn(f, bytes.size())));
  if (inexact == nullptr || f.exactInFloat32) {
    f.toFloat(bytes.data(), n, out.data());
    return n;
  }
  // Through double, a block at a time, to count what float32 rounds.
  constexpr std::size_t kBlock = 1024;
  std::array<double, kBlock> wide;
  const auto groupSamples = static_cast<std::size_t>(f.groupSamples);
  const auto groupBytes = static_cast<std::size_t>(f.groupBytes);
  for (std::size_t i = 0; i < n; i += kBlock) {  // kBlock: whole groups
    const std::size_t k = std::min(kBlock, n - i);
    f.toDouble(bytes.data() + i / groupSamples * groupBytes, k, wide.data());
    for (std::size_t j = 0; j < k; ++j) {
      const float v = static_cast<float>(wide[j]);
      out[i + j] = v;
      if (static_cast<double>(v) != wide[j] && !std::isnan(wide[j])) ++*inexact;
    }
  }
  return n;
}

std::size_t DecodeSamples(const SampleFormat& f, std::span<const std::uint8_t> bytes, std::span<double> out) {
  const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), SamplesIn(f, bytes.size())));
  f.toDouble(bytes.data(), n, out.data());
  return n;
}

std::size_t DecodeSamples(const SampleFormat& f, std::span<const std::uint8_t> bytes, std::span<std::int32_t> out) {
  if (f.toInt32 == nullptr) return 0;
  const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), SamplesIn(f, bytes.size())));
  f.toInt32(bytes.data(), n, out.data());
  return n;
}

}  // namespace segd::samples

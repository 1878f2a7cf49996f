// The SN388 record writer: every field lands at its byte and half-byte, and
// the records it composes agree with themselves the way a recorder's do.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/record_writer.h"
#include "tools/sample_shot.h"

namespace segd::writer {
namespace {

// --- hand decoding, independent of the writer ------------------------------

std::string Hex(std::span<const std::uint8_t> bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s;
  for (std::uint8_t b : bytes) {
    s += kDigits[b >> 4];
    s += kDigits[b & 15];
  }
  return s;
}

std::string HexAt(const Bytes& r, std::uint64_t offset, std::size_t count) {
  return Hex(std::span<const std::uint8_t>(r).subspan(static_cast<std::size_t>(offset), count));
}

std::uint64_t BigEndian(const Bytes& r, std::uint64_t offset, int width) {
  std::uint64_t v = 0;
  for (int i = 0; i < width; ++i) v = (v << 8) | r.at(static_cast<std::size_t>(offset) + i);
  return v;
}

// Decimal digits as a number; -1 when they are not all decimal.
std::int64_t DecimalDigits(const std::string& digits) {
  std::int64_t v = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

// Walks a composed record the way a reader of the format does and lists
// every place where it disagrees with itself.
std::vector<std::string> ConsistencyProblems(const Bytes& r) {
  std::vector<std::string> problems;
  auto problem = [&problems](std::string text) { problems.push_back(std::move(text)); };
  const std::string g1 = HexAt(r, 0, 32);
  auto count = [&](int digit, std::uint64_t block2Offset) -> std::uint64_t {
    const std::string d = g1.substr(static_cast<std::size_t>(digit - 1), 2);
    return d == "FF" ? BigEndian(r, block2Offset, 2) : static_cast<std::uint64_t>(DecimalDigits(d));
  };
  const std::uint64_t n = count(57, 35);
  const std::uint64_t e = count(61, 37);
  const std::uint64_t x = count(63, 39);
  const std::uint64_t ext = 96 + 32 * n;
  const std::uint64_t ms = BigEndian(r, ext, 4);
  const std::uint64_t totalTraces = BigEndian(r, ext + 8, 4);
  const std::uint64_t s = BigEndian(r, ext + 48, 4);
  const std::uint64_t k = BigEndian(r, ext + 736, 4);

  if (BigEndian(r, ext + 4, 4) != r[22] * 1000u / 16) problem("sample rate differs from the base scan interval");
  const std::string length = g1.substr(51, 3);
  if (length == "FFF") {
    if (BigEndian(r, 32 + 14, 3) != ms) problem("extended record length differs from the acquisition length");
  } else if (DecimalDigits(length) * 1024 / 10 < static_cast<std::int64_t>(ms) ||
             DecimalDigits(length) * 1024 / 10 >= static_cast<std::int64_t>(ms) + 512) {
    problem("record length " + length + " does not cover " + std::to_string(ms) + " ms");
  }

  std::uint64_t channelSum = 0;
  std::uint64_t position = 96 + 32 * (n + e + x);
  const std::uint64_t traceSize = 20 + 32 * k + 4 * s;
  for (std::uint64_t i = 0; i < n; ++i) {
    const std::uint64_t cs = 96 + 32 * i;
    const std::int64_t channels = DecimalDigits(HexAt(r, cs + 8, 2));
    channelSum += static_cast<std::uint64_t>(channels);
    if ((r[cs + 28] & 0x0F) != k) problem("channel set " + std::to_string(i) + " extension count");
    if (BigEndian(r, cs + 4, 2) * 2 < ms || BigEndian(r, cs + 4, 2) * 2 >= ms + 2) {
      problem("channel set " + std::to_string(i) + " end time");
    }
    for (std::int64_t j = 1; j <= channels; ++j, position += traceSize) {
      if (position + 20 + 32 * (k > 0) > r.size()) {
        problem("record ends inside a trace");
        return problems;
      }
      if (r[position + 3] != r[cs + 1]) problem("trace channel set byte");
      if (DecimalDigits(HexAt(r, position + 4, 2)) != j) problem("trace number");
      if (r[position + 9] != k) problem("trace header extension count");
      if (k > 0 && BigEndian(r, position + 27, 3) != s) problem("extension 1 samples per trace");
    }
  }
  if (channelSum != totalTraces) problem("channel counts do not add up to the total traces");
  if (position != r.size()) problem("traces end at " + std::to_string(position) + " of " + std::to_string(r.size()));
  return problems;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "; ";
  return s;
}

RecordSpec SmallShot(std::uint32_t samples = 10) { return ShotRecord({1, 2, 3, samples}); }

// --- half-byte and byte placement ------------------------------------------

TEST(PutDigits, WritesEachCodingAtItsHalfBytesAndLeavesTheNeighbours) {
  struct Case {
    const char* what;
    int first;
    int digits;
    Coding coding;
    std::uint64_t value;
    const char* expected;
  };
  const Case cases[] = {
      {"two BCD digits", 1, 2, Coding::kBcd, 42, "425A5A5A"},
      {"BCD keeps leading zeros", 1, 4, Coding::kBcd, 45, "00455A5A"},
      {"BCD zero", 1, 4, Coding::kBcd, 0, "00005A5A"},
      {"BCD largest", 1, 4, Coding::kBcd, 9999, "99995A5A"},
      {"three digits from a low half", 2, 3, Coding::kBcd, 45, "50455A5A"},
      {"one high half", 3, 1, Coding::kBinary, 2, "5A2A5A5A"},
      {"one low half", 4, 1, Coding::kBinary, 0xF, "5A5F5A5A"},
      {"binary big-endian 0102", 1, 4, Coding::kBinary, 0x0102, "01025A5A"},
      {"binary big-endian 0201", 1, 4, Coding::kBinary, 0x0201, "02015A5A"},
      {"BCD too wide keeps the lowest digits", 1, 2, Coding::kBcd, 1234, "345A5A5A"},
      {"binary too wide keeps the lowest bits", 1, 2, Coding::kBinary, 0x1FF, "FF5A5A5A"},
      {"all-F marker from a low half", 2, 3, Coding::kBcd, kAllF, "5FFF5A5A"},
      {"clipped at the block end", 7, 4, Coding::kBinary, 0x1234, "5A5A5A12"},
  };
  for (const Case& c : cases) {
    Bytes block(4, 0x5A);
    PutDigits(block, c.first, c.digits, c.coding, c.value);
    EXPECT_EQ(Hex(block), c.expected) << c.what;
  }
}

TEST(PutBytes, TextsSinglesDoublesAndWordsLandAtOneBasedBytes) {
  Bytes b(16, 0x11);
  PutText(b, 2, 5, "AB");
  PutText(b, 7, 3, "XYZW", '\0');
  PutText(b, 10, 3, "Q", '\0');
  EXPECT_EQ(Hex(b), "11" "4142202020" "58595A" "510000" "11111111");
  PutSingle(b, 1, -2.5f);
  PutDouble(b, 5, 3.14159265358979311600);
  PutU32(b, 14, 0x01020304);  // runs past the end: its first 3 bytes only
  EXPECT_EQ(Hex(b), "C0200000" "400921FB54442D18" "11" "010203");
}

// --- blocks with every field distinct (hand-decoded images) ----------------

TEST(HeaderBlocks, GeneralHeader1FieldsLandAtTheirDigits) {
  GeneralHeader1 g;
  g.fileNumber = 1234, g.formatCode = 8058, g.generalConstants = 567890123456, g.year = 78;
  g.additionalBlocks = 9, g.julianDay = 321, g.hour = 23, g.minute = 59, g.second = 58;
  g.manufacturerCode = 13, g.manufacturerSerial = 4321, g.bytesPerScan = 654321;
  g.baseScanInterval = 0x20, g.polarity = 0xC, g.unused1 = 0xABC, g.recordType = 8;
  g.recordLength = 765, g.scanTypes = 3, g.channelSets = 16, g.skewBlocks = 7;
  g.extendedHeaderLength = 32, g.externalHeaderLength = 14;
  EXPECT_EQ(Hex(EncodeGeneralHeader1(g)),
            "1234" "8058" "567890123456" "78" "9" "321" "23" "59" "58" "13" "4321" "654321"
            "20" "C" "ABC" "8" "765" "03" "16" "07" "32" "14");
  g.recordLength = kAllF, g.extendedHeaderLength = kAllF, g.fileNumber = kAllF;
  const std::string h = Hex(EncodeGeneralHeader1(g));
  EXPECT_EQ(h.substr(0, 4), "FFFF");
  EXPECT_EQ(h.substr(50, 4), "8FFF");
  EXPECT_EQ(h.substr(60, 4), "FF14");
}

TEST(HeaderBlocks, GeneralHeader2And3FieldsLandAtTheirBytes) {
  GeneralHeader2 g2;
  g2.expandedFileNumber = 0x0A0B0C, g2.extendedChannelSets = 0x0D0E, g2.extendedHeaderBlocks = 0x1011;
  g2.externalHeaderBlocks = 0x1213, g2.unused1 = 0x14, g2.revisionMajor = 0x15, g2.revisionMinor = 0x16;
  g2.trailerBlocks = 0x1718, g2.extendedRecordLength = 0x191A1B, g2.unused2 = 0x1C, g2.blockNumber = 0x1D;
  EXPECT_EQ(Hex(EncodeGeneralHeader2(g2)), "0A0B0C0D0E101112131415161718191A1B1C1D" + std::string(26, '0'));

  GeneralHeader3 g3;
  g3.expandedFileNumber = 0x010203, g3.sourceLine = 0x040506, g3.sourceLineFraction = 7890;
  g3.sourcePoint = 0x0A0B0C, g3.sourcePointFraction = 1234, g3.sourcePointIndex = 0x0E;
  g3.phaseControl = 0x0F, g3.vibratorType = 0x11, g3.phaseAngle = 0x1213, g3.blockNumber = 0x14;
  g3.sourceSetNumber = 0x15;
  EXPECT_EQ(Hex(EncodeGeneralHeader3(g3)), "010203" "0405067890" "0A0B0C1234" "0E0F11121314" "15" + std::string(24, '0'));
}

TEST(HeaderBlocks, ChannelSetFieldsLandAtTheirDigits) {
  ChannelSetHeader c;
  c.scanType = 12, c.channelSetNumber = 34, c.startTime = 0x0102, c.endTime = 0x0BB8;
  c.descaleMultiplier = 0x0304, c.channelCount = 5678, c.channelType = 9, c.unused = 0xA;
  c.subscanExponent = 0xB, c.gainControl = 4, c.aliasFrequency = 1234, c.aliasSlope = 2345;
  c.lowCutFrequency = 3456, c.lowCutSlope = 4567, c.firstNotch = 5678, c.secondNotch = 6789;
  c.thirdNotch = 7890, c.extendedChannelSetNumber = 0x0506, c.extendedHeaderFlag = 0xC;
  c.traceHeaderExtensions = 0xD, c.verticalStack = 7, c.streamerNumber = 8, c.arrayForming = 0x11;
  EXPECT_EQ(Hex(EncodeChannelSet(c)),
            "12" "34" "0102" "0BB8" "0304" "5678" "9AB4" "1234" "2345" "3456" "4567" "5678" "6789" "7890"
            "0506" "CD" "07" "08" "11");
}

TEST(HeaderBlocks, TraceHeaderAndExtensionFieldsLandAtTheirBytes) {
  TraceHeader t;
  t.fileNumber = 4217, t.scanType = 3, t.channelSetNumber = 45, t.traceNumber = 6789;
  t.timingWord = 0x0A0B0C, t.extensionCount = 2, t.sampleSkew = 0x0D, t.traceEdit = 3;
  t.timeBreakWindow = 0x0F4240, t.extendedChannelSetNumber = 0x1112, t.extendedFileNumber = 0x131415;
  EXPECT_EQ(Hex(EncodeTraceHeader(t)), "4217" "03" "45" "6789" "0A0B0C" "02" "0D" "03" "0F4240" "1112" "131415");

  TraceExtension1 e;
  e.receiverLine = 0x010203, e.receiverPoint = 0x040506, e.receiverPointIndex = 7;
  e.samplesPerTrace = 0x08090A, e.suNumber = 0x0B0C0D, e.filter = 0x0E, e.gain = 0x0F;
  e.unitType = 1, e.channelType = 3, e.noiseElimination = 0x11, e.processType = 0x32;
  e.errorFlags = kIplsErrorFlag | kSyncErrorFlag, e.stacksLow = 0x14, e.stacksNoisy = 0x15;
  e.resistance = 0x1617, e.sim = 0x1819, e.receiverType = 0x1A, e.conversionFactor = 0.5f;
  EXPECT_EQ(Hex(EncodeTraceExtension1(e)),
            "010203" "040506" "07" "08090A" "0B0C0D" "0E" "0F" "13" "11" "32" "81" "14" "15" "1617" "1819" "1A"
            "3F000000" "0000");

  TraceExtension2 e2;
  e2.easting = 1.5, e2.northing = -2.0, e2.elevation = -2.5f;
  EXPECT_EQ(Hex(EncodeTraceExtension2(e2)),
            "3FF8000000000000" "C000000000000000" "C0200000" + std::string(24, '0'));
}

TEST(HeaderBlocks, RawBytesReplaceTheFields) {
  Block32 raw;
  for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<std::uint8_t>(0xE0 + i);
  Block20 raw20{};
  raw20[3] = 0x1A;
  GeneralHeader1 g1;
  g1.raw = raw;
  ChannelSetHeader c;
  c.raw = raw;
  TraceHeader t;
  t.raw = raw20;
  TraceExtension2 e2;
  e2.raw = raw;
  EXPECT_EQ(EncodeGeneralHeader1(g1), raw);
  EXPECT_EQ(EncodeChannelSet(c), raw);
  EXPECT_EQ(EncodeTraceHeader(t), raw20);
  EXPECT_EQ(EncodeTraceExtension2(e2), raw);
}

TEST(ExtendedHeader, ValuesLandAtTheSn388Positions) {
  Sn388ExtendedHeader x;
  x.acquisitionLength = 0x01020304, x.totalTraces = 362, x.samplesPerTrace = 0x03E8;
  x.traceHeaderExtensions = 2, x.tapeNumber = 0x2A, x.stackingFold = 0x0A0B0C0D;
  x.syntheticFileName = "SYN", x.tapeLabel = "LABEL 7", x.softwareVersion = "V5.21";
  x.dateOfAcquisition = "14/02/2006", x.sourceLine = 1.0f, x.sourcePoint = -2.5f;
  x.sourceEasting = 1.5, x.sourceNorthing = -2.0, x.sourceElevation = 0.5f;
  x.acquisitionTable[0] = 0xA1, x.acquisitionTable[127] = 0xA2;
  const Bytes b = EncodeExtendedHeader(x);
  ASSERT_EQ(b.size(), 1024u);
  EXPECT_EQ(HexAt(b, 0, 4), "01020304");
  EXPECT_EQ(HexAt(b, 8, 4), "0000016A");
  EXPECT_EQ(HexAt(b, 48, 4), "000003E8");
  EXPECT_EQ(HexAt(b, 104, 4), "53594E00");  // NUL padded file name
  EXPECT_EQ(HexAt(b, 304, 1) + HexAt(b, 431, 1), "A1A2");
  EXPECT_EQ(HexAt(b, 560, 4), "0A0B0C0D");
  EXPECT_EQ(std::string(b.begin() + 704, b.begin() + 720), "LABEL 7         ");
  EXPECT_EQ(HexAt(b, 720, 4), "0000002A");
  EXPECT_EQ(HexAt(b, 724, 8), "3F800000C0200000");
  EXPECT_EQ(HexAt(b, 736, 4), "00000002");
  EXPECT_EQ(std::string(b.begin() + 740, b.begin() + 756), "V5.21           ");
  EXPECT_EQ(std::string(b.begin() + 772, b.begin() + 784), "14/02/2006  ");
  EXPECT_EQ(HexAt(b, 792, 20), "3FF8000000000000" "C000000000000000" "3F000000");
  EXPECT_EQ(HexAt(b, 36, 4) + HexAt(b, 812, 4), "0000000000000000");

  const Bytes shorter = EncodeExtendedHeader(x, 100);
  EXPECT_EQ(shorter, Bytes(b.begin(), b.begin() + 100));
  const Bytes longer = EncodeExtendedHeader(x, 1056);
  EXPECT_EQ(Bytes(longer.begin(), longer.begin() + 1024), b);
  EXPECT_EQ(HexAt(longer, 1024, 32), std::string(64, '0'));
}

// --- whole records ---------------------------------------------------------

TEST(Records, AgreeWithThemselvesInEveryForm) {
  struct Case {
    const char* what;
    void (*change)(RecordSpec&);
  };
  const Case cases[] = {
      {"sample shot", [](RecordSpec&) {}},
      {"one extension", [](RecordSpec& s) { s.traceExtensions = 1; }},
      {"no extension", [](RecordSpec& s) { s.traceExtensions = 0; }},
      {"three extensions", [](RecordSpec& s) { s.traceExtensions = 3; }},
      {"2 ms samples", [](RecordSpec& s) { s.general1.baseScanInterval = 0x20; }},
      {"extended header of 100 blocks", [](RecordSpec& s) { s.extendedHeaderSize = 3200; }},
      {"FF extended header length", [](RecordSpec& s) { s.extendedLengthForm = LengthForm::kExtended; }},
      {"FF external header length", [](RecordSpec& s) { s.externalLengthForm = LengthForm::kExtended; }},
      {"odd-sized external header", [](RecordSpec& s) { s.externalHeader.resize(40); }},
      {"no external header", [](RecordSpec& s) { s.externalHeader.clear(); }},
      {"FFF record length", [](RecordSpec& s) { s.recordLengthForm = LengthForm::kExtended; }},
      {"no samples", [](RecordSpec& s) { s.samplesPerTrace = 0; }},
  };
  for (const Case& c : cases) {
    RecordSpec spec = SmallShot();
    c.change(spec);
    const Bytes r = Compose(spec);
    EXPECT_EQ(r.size(), LayoutOf(spec).totalSize) << c.what;
    const std::vector<std::string> problems = ConsistencyProblems(r);
    EXPECT_TRUE(problems.empty()) << c.what << ": " << Joined(problems);
  }
}

TEST(Records, SampleShotAgreesWithItselfAndHasTheSampleShape) {
  const Bytes r = Compose(SampleShot());
  EXPECT_TRUE(ConsistencyProblems(r).empty()) << Joined(ConsistencyProblems(r));
  ASSERT_EQ(r.size(), 96u + 4 * 32 + 1024 + 1024 + 362u * (20 + 64 + 4000));
  EXPECT_EQ(HexAt(r, 0, 32).substr(56, 8), "04003232");  // 4 sets, 32 + 32 header blocks
  EXPECT_EQ(HexAt(r, 224, 32), "000003E8" "000003E8" "0000016A" "00000001" "00000002" "00000168"
                               "00000001" "00000167");  // 1000 ms, 1000 us, 362 traces, 2 aux, 360 seis, 1 dead
  EXPECT_EQ(std::string(r.begin() + 1248, r.begin() + 1255), "KELVANE");  // external header text

  // Receiver points advance by one along each line, 25 m apart; lines step
  // by 10. Trace 3 is the first seismic one.
  const std::uint64_t traceSize = 4084;
  const std::uint64_t first = 96 + 128 + 2048 + 2 * traceSize;
  for (std::uint64_t i : {0u, 1u, 119u, 120u}) {
    const std::uint64_t t = first + i * traceSize;
    EXPECT_EQ(BigEndian(r, t + 20, 3), 2010 + 10 * (i / 120)) << i;
    EXPECT_EQ(BigEndian(r, t + 23, 3), 5001 + i % 120) << i;
  }
  const double e0 = std::bit_cast<double>(BigEndian(r, first + 52, 8));
  const double e1 = std::bit_cast<double>(BigEndian(r, first + traceSize + 52, 8));
  EXPECT_NEAR(e1 - e0, 25.0, 1e-6);

  // Some traces carry edits and error flags.
  int edits = 0, flags = 0;
  for (std::uint64_t t = 96 + 128 + 2048; t < r.size(); t += traceSize) {
    edits += r[t + 11] != 0;
    flags += r[t + 20 + 18] != 0;
  }
  EXPECT_EQ(edits, 2);
  EXPECT_EQ(flags, 4);
}

TEST(Records, CountsBeyondTheirDigitsTakeTheFForm) {
  RecordSpec spec = SmallShot(102001);  // 102.001 s at 1 ms: beyond RR.R = 99.5
  spec.fileNumber = 12345;
  spec.extendedHeaderSize = 3200;
  Derive(spec);
  const std::string h1 = Hex(EncodeGeneralHeader1(spec.general1));
  EXPECT_EQ(h1.substr(0, 4), "FFFF");
  EXPECT_EQ(h1.substr(50, 4), "8FFF");
  EXPECT_EQ(h1.substr(60, 2), "FF");
  const Block32 b2 = EncodeGeneralHeader2(spec.general2);
  EXPECT_EQ(Hex(b2).substr(0, 18), "003039" "0003" "0064" "0020");
  EXPECT_EQ(Hex(b2).substr(28, 6), "018E71");  // 102001 ms
  EXPECT_EQ(Hex(EncodeTraceHeader(spec.channelSets[0].traces[0].header)).substr(0, 4), "FFFF");
  EXPECT_EQ(Hex(EncodeTraceHeader(spec.channelSets[0].traces[0].header)).substr(34, 6), "003039");
}

TEST(Records, WithoutDeriveTheGivenValuesAreWrittenEvenWhenTheyDisagree) {
  RecordSpec spec = SmallShot();
  spec.derive = false;
  spec.extended.totalTraces = 99;
  spec.channelSets[1].header.traceHeaderExtensions = 1;
  const Bytes r = Compose(spec);
  EXPECT_EQ(BigEndian(r, 96 + 3 * 32 + 8, 4), 99u);
  const std::vector<std::string> problems = ConsistencyProblems(r);
  ASSERT_EQ(problems.size(), 2u) << Joined(problems);
  EXPECT_EQ(problems[0], "channel set 1 extension count");
  EXPECT_EQ(problems[1], "channel counts do not add up to the total traces");
}

TEST(Records, DeadAndAuxiliaryTracesAreCountedInTheExtendedHeader) {
  RecordSpec spec = SmallShot();
  spec.channelSets[2].traces[1].header.traceEdit = 2;
  spec.channelSets[2].traces[2].header.traceEdit = 3;  // edited, still live
  Derive(spec);
  EXPECT_EQ(spec.extended.totalTraces, 7u);
  EXPECT_EQ(spec.extended.auxTraces, 1u);
  EXPECT_EQ(spec.extended.seisTraces, 6u);
  EXPECT_EQ(spec.extended.deadSeisTraces, 1u);
  EXPECT_EQ(spec.extended.liveSeisTraces, 5u);
}

TEST(Records, SampleValuesAndFillsGoIntoTheSampleBytes) {
  RecordSpec spec = SmallShot(3);
  spec.traceExtensions = 1;
  spec.sampleFill = SampleFill::kByte;
  spec.fillByte = 0xEE;
  spec.channelSets[0].traces[0].samples = {1.0f, -2.5f, 7.0f, 9.0f};  // one too many: cut
  const Bytes r = Compose(spec);
  const RecordLayout l = LayoutOf(spec);
  EXPECT_EQ(l.traceSize, 20u + 32 + 12);
  EXPECT_EQ(HexAt(r, l.TraceOffset(0) + 52, 12), "3F800000C020000040E00000");
  EXPECT_EQ(HexAt(r, l.TraceOffset(1) + 52, 12), std::string(24, 'E'));
  EXPECT_EQ(HexAt(r, l.TraceOffset(1), 1), "42");  // the next trace header follows directly
}

// --- files -----------------------------------------------------------------

class RecordFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("segd_writer_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  static Bytes ReadAt(const std::filesystem::path& p, std::uint64_t offset, std::size_t n) {
    std::ifstream in(p, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    Bytes b(n);
    in.read(reinterpret_cast<char*>(b.data()), static_cast<std::streamsize>(n));
    b.resize(static_cast<std::size_t>(in.gcount()));
    return b;
  }

  std::filesystem::path dir_;
};

TEST_F(RecordFiles, FullFileHoldsTheComposedBytesAndSparseFileItsHeaders) {
  const RecordSpec spec = SmallShot(50);
  const Bytes composed = Compose(spec);
  ASSERT_TRUE(WriteRecordFile(spec, dir_ / "full.segd"));
  ASSERT_TRUE(WriteRecordFile(spec, dir_ / "sparse.segd", FileMode::kSparse));
  EXPECT_EQ(ReadAt(dir_ / "full.segd", 0, composed.size() + 1), composed);

  const Bytes sparse = ReadAt(dir_ / "sparse.segd", 0, composed.size() + 1);
  ASSERT_EQ(sparse.size(), composed.size());
  const RecordLayout l = LayoutOf(spec);
  EXPECT_EQ(Bytes(sparse.begin(), sparse.begin() + l.firstTraceOffset),
            Bytes(composed.begin(), composed.begin() + l.firstTraceOffset));
  for (std::uint64_t i = 0; i < l.traceCount; ++i) {
    const auto at = static_cast<std::ptrdiff_t>(l.TraceOffset(i));
    EXPECT_EQ(Bytes(sparse.begin() + at, sparse.begin() + at + 84), Bytes(composed.begin() + at, composed.begin() + at + 84));
    EXPECT_EQ(Bytes(sparse.begin() + at + 84, sparse.begin() + at + 284), Bytes(200, 0));
  }
}

TEST_F(RecordFiles, SparseRecordBeyondFourGibibytesPlacesEveryTraceHeader) {
  RecordSpec spec = ShotRecord({0, 1, 70, 16000000});  // 70 traces of 64 MB: 4.48 GB
  const RecordLayout l = LayoutOf(spec);
  ASSERT_GT(l.totalSize, 4294967296u);
  ASSERT_TRUE(WriteRecordFile(spec, dir_ / "big.segd", FileMode::kSparse));
  EXPECT_EQ(std::filesystem::file_size(dir_ / "big.segd"), l.totalSize);
  for (std::uint64_t i : {0u, 1u, 67u, 68u, 69u}) {
    const Bytes header = ReadAt(dir_ / "big.segd", l.TraceOffset(i), 52);
    ASSERT_EQ(header.size(), 52u);
    EXPECT_EQ(HexAt(header, 2, 4), "0102" + std::string(i + 1 < 10 ? "000" : "00") + std::to_string(i + 1)) << i;
    EXPECT_EQ(BigEndian(header, 27, 3), 16000000u) << i;  // extension 1 samples per trace
  }
  EXPECT_GT(l.TraceOffset(68), 4294967296u);
}

TEST_F(RecordFiles, UnwritableFileIsReported) {
  EXPECT_FALSE(WriteRecordFile(SmallShot(), dir_ / "missing" / "x.segd"));
}

}  // namespace
}  // namespace segd::writer

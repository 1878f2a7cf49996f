#include "fuzz/seeds.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>

#include "tools/record_writer.h"
#include "tools/sample_encoders.h"
#include "tools/sample_shot.h"
#include "tools/segd_record.h"

namespace segd::fuzz {

namespace {

using Bytes = std::vector<std::uint8_t>;
using writer::LengthForm;
using writer::RecordSpec;

// A shot small enough to mutate quickly: one auxiliary and three seismic
// traces of four samples, a 64-byte external header.
RecordSpec SmallShot() {
  RecordSpec spec = writer::ShotRecord({.auxTraces = 1, .receiverLines = 1, .channelsPerLine = 3, .samplesPerTrace = 4});
  spec.externalHeader.resize(64);
  return spec;
}

// The record variants: the small shot as written, then with other lengths
// and forms, codes the tables do not hold, and other makes and models.
std::vector<Bytes> Records() {
  const std::function<void(RecordSpec&)> variants[] = {
      [](RecordSpec&) {},
      [](RecordSpec& s) { s.traceExtensions = 1; },
      [](RecordSpec& s) { s.traceExtensions = 0; },
      [](RecordSpec& s) { s.traceExtensions = 3; },
      [](RecordSpec& s) {
        s.extendedLengthForm = LengthForm::kExtended;
        s.externalLengthForm = LengthForm::kExtended;
      },
      [](RecordSpec& s) { s.externalHeader.clear(); },
      [](RecordSpec& s) { s.general1.formatCode = 8765; },
      [](RecordSpec& s) { s.general1.formatCode = 1234; },
      [](RecordSpec& s) { s.general1.manufacturerCode = 20; },  // Fairfield
      [](RecordSpec& s) { s.general1.manufacturerCode = 41; },  // not in the table
      [](RecordSpec& s) { s.general1.generalConstants = 1; },   // SN408UL
      [](RecordSpec& s) { s.general1.recordType = 2; },
      [](RecordSpec& s) { s.general1.recordType = 5; },
      [](RecordSpec& s) { s.general1.baseScanInterval = 0x04; },
      [](RecordSpec& s) { s.general1.baseScanInterval = 0x11; },
      [](RecordSpec& s) { s.general1.additionalBlocks = 0; },
      [](RecordSpec& s) { s.general1.additionalBlocks = 3; },
      [](RecordSpec& s) {
        s.general2.revisionMajor = 2;
        s.general2.revisionMinor = 1;
      },
      [](RecordSpec& s) {
        s.extended.auxType = 7;
        s.extended.testType = 15;
        s.extended.blasterStatus = 9;
      },
  };
  std::vector<Bytes> records;
  for (const auto& vary : variants) {
    RecordSpec spec = SmallShot();
    vary(spec);
    records.push_back(writer::Compose(spec));
  }
  const Bytes shot = records.front();
  records.push_back({});
  records.push_back(Bytes(shot.begin(), shot.begin() + 96));     // the general headers alone
  records.push_back(Bytes(shot.begin(), shot.begin() + 1500));  // cut in the extended header
  return records;
}

Bytes Prefix(std::uint64_t selectionBits, std::uint8_t flags, std::uint16_t failAfter8, std::string_view name) {
  Bytes prefix(kDecodeRunPrefix, 0);
  for (int i = 0; i < 5; ++i) prefix[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(selectionBits >> (8 * i));
  prefix[5] = flags;
  prefix[6] = static_cast<std::uint8_t>(failAfter8 >> 8);
  prefix[7] = static_cast<std::uint8_t>(failAfter8);
  std::memcpy(prefix.data() + 8, name.data(), std::min<std::size_t>(name.size(), 8));
  return prefix;
}

constexpr std::uint64_t kEverything = (std::uint64_t{1} << 34) - 1;  // entries 0-33

std::vector<Bytes> DecodeRunSeeds() {
  const std::vector<Bytes> records = Records();
  std::vector<Bytes> seeds;
  for (const Bytes& record : records) {
    Bytes seed = Prefix(kEverything, 0, 0, "results");
    seed.insert(seed.end(), record.begin(), record.end());
    seeds.push_back(std::move(seed));
  }
  // Other settings over the small shot.
  const Bytes prefixes[] = {
      Prefix(0, 0, 0, "MY_RUN.TXT"),
      Prefix(kEverything | std::uint64_t{1} << 34, 0x18, 0, "a.txt.old"),  // view, "/" separator
      Prefix(0x0F0F0F0F0Full, 0x24, 1, "line 2b"),                       // a write fails early
      Prefix(kEverything, 0x04, 600, "results"),                          // a write fails late
      Prefix(kEverything, 0x01, 0, "results"),                            // record not opened
      Prefix(kEverything, 0x02, 0, "results"),                            // report not created
      Prefix(kEverything | std::uint64_t{1} << 36, 0x30, 0, "   "),       // blanks only
  };
  for (const Bytes& prefix : prefixes) {
    Bytes seed = prefix;
    seed.insert(seed.end(), records.front().begin(), records.front().end());
    seeds.push_back(std::move(seed));
  }
  return seeds;
}

std::vector<Bytes> HeaderSeeds() {
  RecordSpec spec = SmallShot();
  spec.externalHeader = writer::SampleShot().externalHeader;
  const Bytes shot = writer::Compose(spec);
  const writer::RecordLayout layout = writer::LayoutOf(spec);
  auto part = [&](std::uint8_t selector, std::uint64_t offset, std::uint64_t size) {
    Bytes seed{selector};
    seed.insert(seed.end(), shot.begin() + static_cast<std::ptrdiff_t>(offset),
                shot.begin() + static_cast<std::ptrdiff_t>(offset + size));
    return seed;
  };
  return {
      part(0, 0, 32),  part(0, 32, 32), part(0, 64, 32),  part(1, 0, 31),
      part(2, layout.channelSetsOffset, 32), part(2, layout.channelSetsOffset + 32, 32),
      part(3, layout.extendedHeaderOffset, layout.extendedHeaderSize),
      part(4, layout.extendedHeaderOffset, 700),
      part(5, layout.externalHeaderOffset, layout.externalHeaderSize),
      Bytes{0}, Bytes{3}, Bytes{5},
  };
}

std::vector<Bytes> TraceSeeds() {
  std::vector<Bytes> seeds;
  for (std::uint32_t k : {2u, 1u}) {
    RecordSpec spec = SmallShot();
    spec.traceExtensions = k;
    const Bytes shot = writer::Compose(spec);
    const writer::RecordLayout layout = writer::LayoutOf(spec);
    Bytes seed = {0, 0, 4, static_cast<std::uint8_t>(k), 3, 0xFF, 0xFF, 0xFF, 0x3F};
    seed.insert(seed.end(), shot.begin() + static_cast<std::ptrdiff_t>(layout.firstTraceOffset), shot.end());
    seeds.push_back(std::move(seed));
  }
  seeds.push_back(Bytes{0, 0, 0, 4, 0, 0x86, 0x40, 0, 0});  // K = 99999, no bytes at all
  return seeds;
}

Bytes Text(std::uint8_t selector, std::string_view text) {
  Bytes seed(1 + text.size());
  seed[0] = selector;
  std::copy(text.begin(), text.end(), seed.begin() + 1);
  return seed;
}

Bytes Number(double x, bool sevenDigits) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  Bytes seed{2};
  for (int i = 7; i >= 0; --i) seed.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  seed.push_back(sevenDigits ? 1 : 0);
  return seed;
}

std::vector<Bytes> ConversionSeeds() {
  std::vector<Bytes> seeds;
  for (std::string_view text : {"  12", "", "0A", "1E02", "3D1", "-.5e-3", "045", "1F", "99999.5", "1e400", "1e-400"}) {
    seeds.push_back(Text(0, text));
    seeds.push_back(Text(6, text));
  }
  for (std::string_view text : {"0BB8 ", "8000", "00ff", "FFFFFFFFFFFFFFFFF", "12G4"}) seeds.push_back(Text(1, text));
  for (double x : {0.25, 12345678.0, 1e7, 1e-8, 0.00012345, 0.0000001, -2.5, 2.5, 3.14159265358979}) {
    seeds.push_back(Number(x, true));
    seeds.push_back(Number(x, false));
  }
  const Bytes bytes[] = {
      {3, 0, 0x0A, 0xFF, 0x00}, {3, 1, 0x80, 0, 0, 0}, {3, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {3, 2, 0, 0, 0x7B, 0x25, 0}, {3, 2, 0, 0, 1, 0x0A, 0x0B}, {3, 3, 2, 0x0A},
      {3, 4, 0xC0, 0x20, 0, 0}, {3, 4, 0x7F, 0xC0, 0, 0}, {3, 5, 0x40, 0x09, 0x21, 0xFB, 0x54, 0x44, 0x2D, 0x18},
      {4, 0, 6, 0, 45}, {4, 0, 4, 0, 60}, {4, 0, 85, 1, 0x6D}, {4, 0, 5, 1, 0x90}, {4, 0, 71, 0, 1},
      {5, 0, 12, ' ', 'a', 'b', ' '}, {5, 0, 8, '1', '2'},
  };
  seeds.insert(seeds.end(), std::begin(bytes), std::end(bytes));
  return seeds;
}

// The record variants as whole records for the general decoder, and the
// small shot read with the other layouts: rev 2.1, rev 3.0 (96-byte channel
// sets, typed blocks), every block 1 count escaped, and a general trailer.
std::vector<Bytes> GenericSeeds() {
  std::vector<Bytes> seeds = Records();
  const Bytes shot = seeds.front();
  const std::function<void(Bytes&)> layouts[] = {
      [](Bytes& b) { b[42] = 2, b[43] = 1; },
      [](Bytes& b) { b[42] = 3, b[43] = 0, b[63] = 0x02; },
      [](Bytes& b) { b[42] = 3, b[43] = 1, b[11] = 0xF0 | (b[11] & 0x0F), b[55] = 2; },
      [](Bytes& b) { b[28] = b[29] = b[30] = b[31] = 0xFF; },
      [](Bytes& b) { b[0] = b[1] = 0xFF, b[25] = 0x8F, b[26] = 0xFF; },
      [](Bytes& b) {
        b[45] = 1;
        b.resize(b.size() + 32, 0x70);
      },
  };
  for (const auto& vary : layouts) {
    Bytes seed = shot;
    vary(seed);
    seeds.push_back(std::move(seed));
  }
  // Many channel sets: three scan types of 65,535 descriptors (the count in
  // block 2), far more than the bytes hold; each descriptor names its own set.
  Bytes many(shot.begin(), shot.begin() + 32);
  many[11] = static_cast<std::uint8_t>(0x10 | (many[11] & 0x0F));  // one additional block
  many[27] = 0x03, many[28] = 0xFF;
  many.resize(4096, 0);
  many[32 + 3] = many[32 + 4] = 0xFF;
  many[32 + 10] = 2, many[32 + 11] = 1;  // revision 2.1
  for (std::size_t at = 64, n = 1; at + 32 <= many.size(); at += 32, ++n) {
    many[at + 1] = 0x01;
    many[at + 26] = 0xFF;
    many[at + 27] = static_cast<std::uint8_t>(n >> 8), many[at + 28] = static_cast<std::uint8_t>(n);
  }
  seeds.push_back(std::move(many));
  return seeds;
}

// Summaries as the batch writes them, and the shapes that once broke their
// reader: a nested cell, a record named "path", concatenated shards.
std::vector<Bytes> SummarySeeds() {
  const std::string_view texts[] = {
      "path,status,file_number,date,time\na.segd,ok,1,2021-05-08,20:06:00\nb.segd,warning,1,,\n",
      "path,status,file_number\npath,ok,7\nb,ok,7\npath,status,file_number\nc,failed,\n",
      "{\"path\":\"a\",\"status\":\"ok\",\"file_number\":1}\n{\"path\":\"b\",\"file_number\":null}\n",
      "{\"path\":\"a\",\"file_number\":[[[[[[[[1]]]]]]]]}\n",
      "path,notices\n\"a,\"\"b\"\"\nc\",\"x\"\n",
  };
  std::vector<Bytes> seeds;
  for (std::string_view t : texts) seeds.emplace_back(t.begin(), t.end());
  return seeds;
}

// Models of the writers' harness: counts and kinds as its bytes ask, texts of
// quotes, commas, line ends, NUL bytes, bytes above 0x7F and numbers.
std::vector<Bytes> WriterSeeds() {
  std::vector<Bytes> seeds;
  const std::string_view texts[] = {"a,\"b\"\nc\r", std::string_view("n\0l\x80\x81\xe9\xff", 8), "-12.5E+3", "nan",
                                    "\xc3\xa9\xe2\x82", "0.5", ""};
  for (std::uint8_t shape = 0; shape < 4; ++shape) {
    Bytes seed;
    seed.push_back(static_cast<std::uint8_t>(shape * 3));  // columns
    for (int i = 0; i < 60; ++i) {
      const std::string_view text = texts[(i + shape) % std::size(texts)];
      seed.push_back(static_cast<std::uint8_t>(i * 7 + shape));  // a kind, a count or a flag
      seed.push_back(static_cast<std::uint8_t>(text.size()));
      seed.insert(seed.end(), text.begin(), text.end());
    }
    seeds.push_back(seed);
  }
  return seeds;
}

// The sample decoders' inputs: each format's bytes of a few values
// (byte 0 its index), then records with real samples in several formats
// and revisions, whole and cut (byte 0 from 0x80).
std::vector<Bytes> SampleSeeds() {
  std::vector<Bytes> seeds;
  const double values[] = {0, 1, -1, 0.5, -0.0, 1e-3, 12345.0, -8.25, 3e38, 1e-40};
  const auto codes = writer::EncodedFormats();
  for (std::size_t k = 0; k < codes.size(); ++k) {
    Bytes seed(1 + writer::general::SampleDataBytes(codes[k], std::size(values)), 0);
    seed[0] = static_cast<std::uint8_t>(k);
    writer::EncodeSamples(codes[k], values, seed.data() + 1);
    seeds.push_back(std::move(seed));
  }
  for (std::uint32_t code : {8015u, 8024u, 8048u, 9036u, 8058u}) {
    for (const writer::general::Revision revision : {writer::general::Revision{2, 1}, writer::general::Revision{3, 0}}) {
      writer::general::GeneralRecord r = writer::general::PresetRecord(writer::general::Make::kOther, revision, code, 3, 5);
      r.sampleValues = [](const writer::general::TracePlace& p, std::span<double> v) {
        for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<double>(p.index * 3 + i) - 4;
      };
      Bytes seed{static_cast<std::uint8_t>(0x80 | (code & 1))};
      const Bytes record = writer::general::ComposeGeneral(r);
      seed.insert(seed.end(), record.begin(), record.end());
      seeds.push_back(seed);
      seed.resize(seed.size() - 7);  // cut inside the last trace
      seeds.push_back(std::move(seed));
    }
  }
  return seeds;
}

// The export's inputs: the samples walk's records, each with a few of the
// export's choices in byte 0.
std::vector<Bytes> ExportSeeds() {
  std::vector<Bytes> seeds;
  std::uint8_t choice = 0;
  for (Bytes seed : SampleSeeds()) {
    if (seed.empty() || seed[0] < 0x80) continue;
    seed[0] = choice++ % 16;
    seeds.push_back(std::move(seed));
  }
  return seeds;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> Seeds(Target target) {
  switch (target) {
    case Target::kDecodeRun: return DecodeRunSeeds();
    case Target::kHeaderDecoders: return HeaderSeeds();
    case Target::kTraceWalk: return TraceSeeds();
    case Target::kConversions: return ConversionSeeds();
    case Target::kGenericRecord: return GenericSeeds();
    case Target::kWriters: return WriterSeeds();
    case Target::kSummaryReader: return SummarySeeds();
    case Target::kSamples: return SampleSeeds();
    case Target::kExport: return ExportSeeds();
  }
  return {};
}

}  // namespace segd::fuzz

#include "output/mseed_writer.h"

#include <libmseed.h>

#include <cmath>
#include <cstring>

namespace segd::output {
namespace {

// SEED 2.4 fixed-header code lengths.
struct CodeRule {
  const char* what;
  std::size_t most;
  bool mayBeEmpty;
};
constexpr CodeRule kNetwork{"network", 2, false}, kStation{"station", 5, false}, kLocation{"location", 2, true},
    kChannel{"channel", 3, false};

bool CheckCode(const std::string& code, const CodeRule& rule, std::string& error) {
  if (code.size() > rule.most || (code.empty() && !rule.mayBeEmpty)) {
    error = "the SEED " + std::string(rule.what) + " code \"" + code + "\" " +
            (code.empty() ? "is empty" : "is longer than " + std::to_string(rule.most) + " characters") +
            ": miniSEED not written";
    return false;
  }
  for (char c : code) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_')) {
      error = "the SEED " + std::string(rule.what) + " code \"" + code + "\" holds a character other than letters and digits";
      return false;
    }
  }
  return true;
}

std::string Number(const std::optional<double>& v) {
  if (!v) return {};
  const double r = std::round(*v);
  return std::fabs(*v - r) < 1e-9 ? std::to_string(static_cast<long long>(r)) : std::to_string(*v);
}

// The template's fields, by name; empty text where the trace lacks one.
std::optional<std::string> Field(const std::string& name, const ExportTrace& t) {
  if (name == "point") return Number(t.receiverPoint);
  if (name == "line") return Number(t.receiverLine);
  if (name == "serial") return t.serial;
  if (name == "set") return std::to_string(t.channelSet);
  if (name == "trace") return std::to_string(t.traceNumber);
  if (name == "seq") return std::to_string(t.sequence);
  return std::nullopt;
}

// The template filled in; nullopt with `error` for an unknown field; empty
// when a field the trace lacks was used.
std::optional<std::string> Fill(const std::string& text, const ExportTrace& t, std::string& error, bool& missing) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '{') {
      out += text[i];
      continue;
    }
    const std::size_t close = text.find('}', i);
    const std::string name = text.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
    const auto value = close == std::string::npos ? std::nullopt : Field(name, t);
    if (!value) {
      error = "unknown field {" + name + "} in the station template (point, line, serial, set, trace, seq)";
      return std::nullopt;
    }
    if (value->empty()) missing = true;
    out += *value;
    i = close;
  }
  return out;
}

std::optional<char> BandCode(double rate) {
  if (rate >= 1000) return 'G';
  if (rate >= 250) return 'D';
  if (rate >= 80) return 'E';
  if (rate >= 10) return 'S';
  return std::nullopt;
}

// SEED instrument and orientation codes of each sensor type (the trace
// header's code list, ExportTrace::sensorType); codes past the list are
// type 0.
struct SeedSensor {
  char instrument, orientation;
};
constexpr SeedSensor kSeedSensors[] = {
    {'P', 'Z'},  // 0 not recorded: a vertical geophone, the common case
    {'D', 'H'},  // 1 hydrophone (pressure)
    {'P', 'Z'},  // 2 vertical geophone
    {'P', '1'},  // 3 in-line geophone
    {'P', '2'},  // 4 cross-line geophone
    {'P', '3'},  // 5 other horizontal geophone
    {'N', 'Z'},  // 6 vertical accelerometer
    {'N', '1'},  // 7 in-line accelerometer
    {'N', '2'},  // 8 cross-line accelerometer
    {'N', '3'},  // 9 other horizontal accelerometer
};

SeedSensor SensorCodes(int sensorType) {
  return sensorType > 0 && sensorType < int(std::size(kSeedSensors)) ? kSeedSensors[sensorType] : kSeedSensors[0];
}

}  // namespace

std::optional<std::string> MseedOptionsRefusal(const MseedOptions& o) {
  if (o.recordLength != 512 && o.recordLength != 4096) {
    return "miniSEED record length " + std::to_string(o.recordLength) + " is not written (512 or 4096)";
  }
  if (o.steim2 && !(o.bitWeight > 0 && std::isfinite(o.bitWeight))) {
    return "Steim2 needs the value of one count (--bit-weight, greater than 0)";
  }
  std::string error;
  ExportTrace probe;
  if (!CheckCode(o.network, kNetwork, error) || !CheckCode(o.location, kLocation, error)) return error;
  if (o.channel && !CheckCode(*o.channel, kChannel, error)) return error;
  bool missing = false;
  if (!Fill(o.station, probe, error, missing)) return error;
  return std::nullopt;
}

std::optional<SeedCodes> SeedCodesFor(const ExportTrace& t, const MseedOptions& o, std::string& error) {
  SeedCodes codes{o.network, "", o.location, ""};
  bool missing = false;
  const auto station = Fill(o.station, t, error, missing);
  if (!station) return std::nullopt;
  codes.station = missing && IsAuxiliary(t) ? "AUX" + std::to_string(t.traceNumber) : *station;
  if (missing && !IsAuxiliary(t)) {
    error = "trace " + std::to_string(t.sequence) + " has no value for the station template \"" + o.station +
            "\" (try --station {seq})";
    return std::nullopt;
  }
  if (o.channel) {
    codes.channel = *o.channel;
  } else {
    const double rate = t.intervalUs > 0 ? 1e6 / double(t.intervalUs) : 0;
    const auto band = BandCode(rate);
    if (!band) {
      error = "no SEED band code for " + std::to_string(rate) + " Hz (10 Hz and more): give --channel";
      return std::nullopt;
    }
    const SeedSensor sensor = SensorCodes(t.sensorType);
    codes.channel = IsAuxiliary(t) ? std::string{*band, 'Y', 'X'}
                                   : std::string{*band, o.instrument.value_or(sensor.instrument), sensor.orientation};
  }
  for (const auto& [code, rule] : {std::pair{&codes.network, &kNetwork}, {&codes.station, &kStation},
                                   {&codes.location, &kLocation}, {&codes.channel, &kChannel}}) {
    if (!CheckCode(*code, *rule, error)) {
      error = "trace " + std::to_string(t.sequence) + ": " + error;
      return std::nullopt;
    }
  }
  return codes;
}

void MseedWriter::Handler(char* record, int length, void* self) {
  auto& w = *static_cast<MseedWriter*>(self);
  if (w.ok_ && !w.sink_.Write(record, static_cast<std::size_t>(length))) w.ok_ = false;
}

bool MseedWriter::Trace(const ExportTrace& t, std::string& error) {
  if (options_.seismicOnly && IsAuxiliary(t)) return true;
  if (auto refusal = MseedOptionsRefusal(options_)) {
    error = *refusal;
    return false;
  }
  const auto codes = SeedCodesFor(t, options_, error);
  if (!codes) return false;
  if (!t.start) {
    error = "trace " + std::to_string(t.sequence) + " has no start time: miniSEED not written";
    return false;
  }
  if (t.intervalUs <= 0) {
    error = "trace " + std::to_string(t.sequence) + " has no sample interval";
    return false;
  }

  MSRecord* msr = msr_init(nullptr);
  std::strncpy(msr->network, codes->network.c_str(), sizeof msr->network - 1);
  std::strncpy(msr->station, codes->station.c_str(), sizeof msr->station - 1);
  std::strncpy(msr->location, codes->location.c_str(), sizeof msr->location - 1);
  std::strncpy(msr->channel, codes->channel.c_str(), sizeof msr->channel - 1);
  msr->dataquality = 'D';
  msr->starttime = static_cast<hptime_t>(t.start->microseconds);
  msr->samprate = 1e6 / double(t.intervalUs);
  msr->reclen = options_.recordLength;
  msr->byteorder = 1;
  msr->sequence_number = sequence_;
  msr->numsamples = static_cast<std::int64_t>(t.samples.size());

  if (options_.steim2) {
    counts_.resize(t.samples.size());
    for (std::size_t i = 0; i < t.samples.size(); ++i) {
      const double count = double(t.samples[i]) / options_.bitWeight;
      const double whole = std::round(count);
      const bool exact = std::isfinite(count) && std::fabs(whole) < (1 << 29) &&
                         static_cast<float>(whole * options_.bitWeight) == t.samples[i];
      const bool step = i == 0 || std::fabs(whole - double(counts_[i - 1])) < (1 << 29);
      if (!exact || !step) {
        error = "trace " + std::to_string(t.sequence) + " sample " + std::to_string(i + 1) + " (" +
                std::to_string(t.samples[i]) + ") is not a Steim2 count at bit weight " +
                std::to_string(options_.bitWeight) + ": use FLOAT32 or another bit weight";
        msr_free(&msr);
        return false;
      }
      counts_[i] = static_cast<std::int32_t>(whole);
    }
    msr->encoding = DE_STEIM2;
    msr->sampletype = 'i';
    msr->datasamples = counts_.data();
  } else {
    floats_.assign(t.samples.begin(), t.samples.end());
    msr->encoding = DE_FLOAT32;
    msr->sampletype = 'f';
    msr->datasamples = floats_.data();
  }

  // Blockette 1001 carries the microseconds the fixed header's 100 us ticks lose.
  blkt_1001_s b1001{};
  msr_addblockette(msr, reinterpret_cast<char*>(&b1001), sizeof b1001, 1001, 0);
  std::int64_t packed = 0;
  const int records = msr_pack(msr, &MseedWriter::Handler, this, &packed, 1, 0);
  sequence_ = msr->sequence_number;
  msr->datasamples = nullptr;  // ours
  msr_free(&msr);
  if (records < 0 || packed != static_cast<std::int64_t>(t.samples.size())) {
    error = "libmseed could not pack trace " + std::to_string(t.sequence);
    return false;
  }
  ++written_;
  return true;
}

bool MseedWriter::Finish() {
  const bool closed = sink_.Close();
  return ok_ && closed;
}

}  // namespace segd::output

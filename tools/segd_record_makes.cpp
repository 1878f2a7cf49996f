// What each make writes beyond the standard: its trace header extensions 2
// and up, its extended and external headers, and the shape of its records.
#include <algorithm>
#include <vector>
#include <string>

#include "tools/segd_record.h"

namespace segd::writer::general {
namespace {

using enum FieldCoding;
constexpr std::uint64_t kBlock = 32;

// Sercel 428-style extensions 2-7 (ext 7 byte 14: the 428's removed offset) (receiver position, sensor tests, unit
// and channel identification).
constexpr MakeTraceField kSercelFields[] = {
    {"receiver_x", 2, 1, 8, kDouble},
    {"receiver_y", 2, 9, 8, kDouble},
    {"receiver_elevation", 2, 17, 4, kSingle},
    {"sercel_sensor_type", 2, 21, 1, kUnsigned},
    {"sercel_trace_number", 2, 29, 4, kUnsigned},
    {"sercel_resistance_low_limit_ohm", 3, 1, 4, kSingle},
    {"sercel_capacitance_low_limit", 4, 1, 4, kSingle},
    {"sercel_capacitance_high_limit", 4, 5, 4, kSingle},
    {"sercel_capacitance", 4, 9, 4, kSingle},
    {"sercel_cutoff_low_limit", 4, 13, 4, kSingle},
    {"sercel_cutoff_high_limit", 4, 17, 4, kSingle},
    {"sercel_cutoff", 4, 21, 4, kSingle},
    {"sercel_capacitance_error", 4, 25, 1, kUnsigned},
    {"sercel_cutoff_error", 4, 26, 1, kUnsigned},
    {"sercel_leakage_limit", 5, 1, 4, kSingle},
    {"sercel_leakage", 5, 5, 4, kSingle},
    {"sercel_leakage_error", 5, 25, 1, kUnsigned},
    {"sercel_unit_type", 6, 1, 1, kUnsigned},
    {"unit_serial", 6, 2, 3, kUnsigned},
    {"sercel_channel", 6, 5, 1, kUnsigned},
    {"sercel_assembly_type", 6, 9, 1, kUnsigned},
    {"sercel_assembly_serial", 6, 10, 3, kUnsigned},
    {"sercel_location_in_assembly", 6, 13, 1, kUnsigned},
    {"sercel_fdu_unit_type", 6, 17, 1, kUnsigned},
    {"sercel_channel_type", 6, 18, 1, kUnsigned},
    {"sercel_sensor_sensitivity", 6, 21, 4, kSingle},
    {"sercel_extended_unit_serial", 6, 25, 4, kUnsigned},
    {"sercel_extended_assembly_serial", 6, 29, 4, kUnsigned},
    {"sercel_control_unit_type", 7, 1, 1, kUnsigned},
    {"sercel_control_unit_serial", 7, 2, 3, kUnsigned},
    {"sercel_channel_gain_scale", 7, 5, 1, kUnsigned},
    {"sercel_channel_filter", 7, 6, 1, kUnsigned},
    {"sercel_data_error", 7, 7, 1, kUnsigned},
    {"sercel_edit_status", 7, 8, 1, kUnsigned},
    {"sercel_sample_to_volt", 7, 9, 4, kSingle},
    {"sercel_removed_offset", 7, 14, 1, kUnsigned},
    {"sercel_channel_type_id", 7, 15, 1, kUnsigned},
    {"sercel_channel_process", 7, 16, 1, kUnsigned},
    {"sercel_analog_low_cut", 7, 17, 4, kSingle},
    {"sercel_digital_low_cut", 7, 21, 4, kSingle},
    {"sercel_editions", 7, 25, 4, kUnsigned},
    {"sercel_compound_low_cut", 7, 29, 4, kSingle},
};

// SmartSolo extensions 2-7 (5 and 7 unused).
constexpr MakeTraceField kSmartSoloFields[] = {
    {"smartsolo_time_break_gps_us", 2, 1, 8, kUnsigned},
    {"smartsolo_time_break_offset_us", 2, 9, 2, kUnsigned},
    {"smartsolo_external_file_id", 2, 11, 4, kUnsigned},
    {"smartsolo_extended_trace_number", 2, 29, 4, kUnsigned},
    {"receiver_x", 3, 1, 4, kUnsigned, 100},
    {"receiver_y", 3, 5, 4, kUnsigned, 100},
    {"receiver_elevation", 3, 9, 4, kUnsigned, 100},
    {"receiver_latitude", 4, 1, 6, kFixed},
    {"receiver_longitude", 4, 7, 6, kFixed},
    {"smartsolo_gps_height", 4, 13, 4, kSingle},
    {"smartsolo_unit_type", 6, 1, 1, kUnsigned},
    {"unit_serial", 6, 2, 4, kUnsigned},
    {"smartsolo_channel", 6, 6, 1, kUnsigned},
};

// Fairfield "1.6" (block 2 bytes 11-12 = 01 06) extensions 2-10.
constexpr MakeTraceField kFairfieldFields[] = {
    {"fairfield_shot_line", 2, 1, 4, kUnsigned},
    {"fairfield_shot_point", 2, 5, 4, kUnsigned},
    {"fairfield_shot_index", 2, 9, 1, kUnsigned},
    {"fairfield_shot_preplan_x", 2, 10, 4, kUnsigned, 10},
    {"fairfield_shot_preplan_y", 2, 14, 4, kUnsigned, 10},
    {"fairfield_shot_final_x", 2, 18, 4, kUnsigned, 10},
    {"fairfield_shot_final_y", 2, 22, 4, kUnsigned, 10},
    {"fairfield_shot_final_depth", 2, 26, 4, kUnsigned, 10},
    {"fairfield_shot_info", 2, 30, 1, kUnsigned},
    {"fairfield_energy_source", 2, 31, 1, kUnsigned},
    {"fairfield_shot_epoch_us", 3, 1, 8, kUnsigned},
    {"fairfield_shot_skew_us", 3, 9, 8, kUnsigned},
    {"fairfield_clock_correction_us", 3, 17, 8, kUnsigned},
    {"fairfield_correction_not_applied_us", 3, 25, 8, kUnsigned},
    {"fairfield_pre_shot_guard", 4, 1, 4, kUnsigned},
    {"fairfield_post_shot_guard", 4, 5, 4, kUnsigned},
    {"fairfield_preamp_gain_db", 4, 9, 1, kUnsigned},
    {"fairfield_trace_flag", 4, 10, 1, kUnsigned},
    {"fairfield_record_type", 4, 11, 1, kUnsigned},
    {"fairfield_shot_status", 4, 12, 1, kUnsigned},
    {"fairfield_first_break_time", 4, 25, 4, kSingle},
    {"fairfield_rms_noise", 4, 29, 4, kSingle},
    {"fairfield_receiver_line", 5, 1, 4, kUnsigned},
    {"fairfield_receiver_point", 5, 5, 4, kUnsigned},
    {"fairfield_receiver_index", 5, 9, 1, kUnsigned},
    {"receiver_x", 5, 10, 4, kUnsigned, 10},
    {"receiver_y", 5, 14, 4, kUnsigned, 10},
    {"fairfield_receiver_final_x", 5, 18, 4, kUnsigned, 10},
    {"fairfield_receiver_final_y", 5, 22, 4, kUnsigned, 10},
    {"fairfield_receiver_final_depth", 5, 26, 4, kUnsigned, 10},
    {"fairfield_receiver_info", 5, 30, 1, kUnsigned},
    {"fairfield_h1x", 6, 1, 4, kSingle},
    {"fairfield_h2x", 6, 5, 4, kSingle},
    {"fairfield_vx", 6, 9, 4, kSingle},
    {"fairfield_h1y", 6, 13, 4, kSingle},
    {"fairfield_h2y", 6, 17, 4, kSingle},
    {"fairfield_vy", 6, 21, 4, kSingle},
    {"fairfield_h1z", 6, 25, 4, kSingle},
    {"fairfield_h2z", 6, 29, 4, kSingle},
    {"fairfield_vz", 7, 1, 4, kSingle},
    {"fairfield_azimuth", 7, 5, 4, kSingle},
    {"fairfield_pitch", 7, 9, 4, kSingle},
    {"fairfield_roll", 7, 13, 4, kSingle},
    {"fairfield_temperature", 7, 17, 4, kSingle},
    {"fairfield_humidity", 7, 21, 4, kSingle},
    {"fairfield_test_code", 8, 1, 4, kUnsigned},
    {"fairfield_oscillator_attenuation_1", 8, 5, 4, kUnsigned},
    {"fairfield_oscillator_attenuation_2", 8, 9, 4, kUnsigned},
    {"fairfield_start_delay_us", 8, 13, 4, kUnsigned},
    {"fairfield_dc_filter_flag", 8, 17, 4, kUnsigned},
    {"fairfield_dc_filter_frequency", 8, 21, 4, kUnsigned},
    {"fairfield_preamp_path", 8, 25, 4, kUnsigned},
    {"fairfield_oscillator_signal_type", 8, 29, 4, kUnsigned},
    {"fairfield_generator_signal_type", 9, 1, 4, kUnsigned},
    {"fairfield_generator_frequency_1", 9, 5, 4, kUnsigned},
    {"fairfield_generator_frequency_2", 9, 9, 4, kUnsigned},
    {"fairfield_generator_amplitude_1", 9, 13, 4, kUnsigned},
    {"fairfield_generator_amplitude_2", 9, 17, 4, kUnsigned},
    {"fairfield_generator_duty_cycle", 9, 21, 4, kUnsigned},
    {"fairfield_generator_duration_us", 9, 25, 4, kUnsigned},
    {"fairfield_generator_activation_time_us", 9, 29, 4, kUnsigned},
    {"fairfield_idle_level", 10, 1, 4, kUnsigned},
    {"fairfield_active_level", 10, 5, 4, kUnsigned},
    {"fairfield_generator_pattern_1", 10, 9, 4, kUnsigned},
    {"fairfield_generator_pattern_2", 10, 13, 4, kUnsigned},
};

// Fairfield ZSystem extensions, every other revision: 3 and 4 differ from
// "1.6" (unit epochs and timing, 8-byte values); 6-10 are not written.
constexpr MakeTraceField kFairfieldZSystemFields[] = {
    {"fairfield_shot_line", 2, 1, 4, kUnsigned},
    {"fairfield_shot_point", 2, 5, 4, kUnsigned},
    {"fairfield_shot_index", 2, 9, 1, kUnsigned},
    {"unit_serial", 3, 1, 8, kUnsigned},
    {"fairfield_deploy_epoch_us", 3, 9, 8, kUnsigned},
    {"fairfield_pickup_epoch_us", 3, 17, 8, kUnsigned},
    {"fairfield_start_epoch_us", 3, 25, 8, kUnsigned},
    {"fairfield_drift_window", 4, 1, 8, kUnsigned},
    {"fairfield_clock_drift", 4, 9, 8, kUnsigned},
    {"fairfield_applied_correction", 4, 17, 8, kUnsigned},
    {"fairfield_remaining_correction", 4, 25, 8, kUnsigned},
    {"fairfield_receiver_line", 5, 1, 4, kUnsigned},
    {"fairfield_receiver_point", 5, 5, 4, kUnsigned},
    {"fairfield_receiver_index", 5, 9, 1, kUnsigned},
};

Bytes Blocks(std::size_t count) { return Bytes(count * kBlock, 0); }

std::uint32_t Channels(const GeneralRecord& r, std::uint32_t type) {
  std::uint32_t n = 0;
  for (const ScanType& t : r.scanTypes) {
    for (const ChannelSet& s : t.sets) {
      if (s.used && (type == 0 || s.channelType == type)) n += s.channels;
    }
  }
  return n;
}

std::uint32_t FirstSamples(const GeneralRecord& r) {
  for (const ScanType& t : r.scanTypes) {
    for (const ChannelSet& s : t.sets) {
      if (s.used) return s.samples;
    }
  }
  return 0;
}

std::uint32_t IntervalMicroseconds(const GeneralRecord& r) { return r.baseScanInterval * 1000 / 16; }

// Rev 1/2 count a set's channels, and number its traces, in four decimal
// digits: a larger set becomes several sets of at most 9999 channels,
// numbered on from the set before; unused slots stay at the end.
void SplitLargeSets(GeneralRecord& r) {
  if (r.revision.Rev3()) return;
  for (ScanType& t : r.scanTypes) {
    std::vector<ChannelSet> used;
    std::size_t unused = 0;
    for (const ChannelSet& s : t.sets) {
      if (!s.used) {
        ++unused;
        continue;
      }
      for (std::uint32_t left = s.channels; left > 0 || s.channels == 0;) {
        ChannelSet part = s;
        part.channels = std::min<std::uint32_t>(left, 9999);
        part.number = used.empty() ? s.number : std::max(s.number, used.back().number + 1);
        used.push_back(part);
        left -= part.channels;
        if (s.channels == 0) break;
      }
    }
    const std::size_t slots = std::max(t.sets.size(), used.size() + (unused > 0 ? 1 : 0));
    t.sets = std::move(used);
    t.sets.resize(slots, UnusedSlot());
  }
}

}  // namespace

std::uint32_t ManufacturerCode(Make make) {
  switch (make) {
    case Make::kSercel: return 13;
    case Make::kSmartSolo: return 61;
    case Make::kFairfield: return 20;
    case Make::kOther: break;
  }
  return 77;
}

const char* MakeName(Make make) {
  switch (make) {
    case Make::kSercel: return "sercel";
    case Make::kSmartSolo: return "smartsolo";
    case Make::kFairfield: return "fairfield";
    case Make::kOther: break;
  }
  return "other";
}

std::span<const MakeTraceField> MakeTraceFields(Make make, Revision revision) {
  if (revision.Rev3()) return {};  // rev 3 extensions name themselves in byte 32
  switch (make) {
    case Make::kSercel: return kSercelFields;
    case Make::kSmartSolo: return kSmartSoloFields;
    case Make::kFairfield:
      if (revision.major == 1 && revision.minor == 6) return kFairfieldFields;
      return kFairfieldZSystemFields;
    case Make::kOther: break;
  }
  return {};
}

double MakeFieldValue(const MakeTraceField& f, std::size_t fieldIndex, std::uint64_t index) {
  const std::uint64_t n = index * 131 + fieldIndex * 17 + 1;
  switch (f.coding) {
    case kUnsigned: return static_cast<double>(f.width >= 8 ? n : n % (std::uint64_t{1} << (8 * f.width)));
    case kSigned: return (index % 2 == 1 ? -1.0 : 1.0) * static_cast<double>(n % 100);
    // Quarters are exact in a single up to 2^21 traces.
    case kSingle: return static_cast<double>(index % 1000000) + 0.25 * static_cast<double>(fieldIndex % 4) + 0.5;
    case kDouble: return static_cast<double>(index) * 1000.125 + static_cast<double>(fieldIndex);
    case kFixed: return (index % 2 == 1 ? -1.0 : 1.0) * static_cast<double>(10 + index % 80) + 0.25 * static_cast<double>(fieldIndex % 4);
  }
  return 0;
}

Bytes ExtendedHeaderOf(const GeneralRecord& r) {
  if (r.extendedHeader) return *r.extendedHeader;
  const std::uint32_t traces = Channels(r, 0), seismic = Channels(r, 1);
  switch (r.make) {
    case Make::kSercel: {
      // 32 blocks; the first words as the 408UL/428XL records hold them.
      Bytes b = Blocks(32);
      const std::uint32_t words[] = {IntervalMicroseconds(r) * FirstSamples(r) / 1000, IntervalMicroseconds(r), traces,
                                     traces - seismic, seismic, 0, seismic, 1, FirstSamples(r), r.fileNumber};
      for (std::size_t i = 0; i < std::size(words); ++i) PutU32(b, static_cast<int>(1 + 4 * i), words[i]);
      return b;
    }
    case Make::kSmartSolo: {
      Bytes b = Blocks(32);
      PutU32(b, 1, IntervalMicroseconds(r) * FirstSamples(r) / 1000);
      PutU32(b, 5, IntervalMicroseconds(r));
      PutU32(b, 9, traces);
      PutU32(b, 13, FirstSamples(r));
      PutU32(b, 17, seismic);
      PutU32(b, 21, traces - seismic);
      PutU32(b, 25, 0);
      PutU32(b, 29, seismic);
      PutU32(b, 33, 1);
      PutU16(b, 37, 2);
      return b;
    }
    case Make::kFairfield: {
      Bytes b = Blocks(3);
      PutU32(b, 1, 2240);
      PutU32(b, 5, 4711);
      PutUnsigned(b, 9, 8, r.timestamp);
      MutableBytes e2 = MutableBytes(b).subspan(32, 32);
      PutSingle(e2, 1, 0.5f);
      PutU32(e2, 17, traces);
      PutU32(e2, 21, 1);
      PutU32(e2, 25, r.fileNumber);
      PutU8(e2, 30, r.baseScanInterval);
      MutableBytes e3 = MutableBytes(b).subspan(64, 32);
      PutU32(e3, 1, 3);
      PutU32(e3, 5, 500);
      PutU8(e3, 9, 1);
      return b;
    }
    case Make::kOther: break;
  }
  Bytes b = Blocks(2);
  PutText(b, 1, 40, "EXTENDED HEADER OF AN UNKNOWN MAKE", ' ');
  for (int i = 41; i <= 64; ++i) PutU8(b, i, static_cast<std::uint64_t>(i));
  return b;
}

Bytes ExternalHeaderOf(const GeneralRecord& r) {
  if (r.externalHeader) return *r.externalHeader;
  switch (r.make) {
    case Make::kSercel: {
      Bytes b = Blocks(128);  // more than 99 blocks: GH1 byte 32 is FF
      PutText(b, 1, static_cast<int>(b.size()), "*SHOTPOINT 100 *LINE 7", ' ');
      return b;
    }
    case Make::kSmartSolo: {
      Bytes b = Blocks(32);
      PutU32(b, 1, r.fileNumber);
      PutU32(b, 5, r.fileNumber);
      PutU32(b, 9, 50000000);
      PutU32(b, 13, 70000000);
      PutUnsigned(b, 33, 8, r.timestamp);
      return b;
    }
    case Make::kFairfield: {
      Bytes b = Blocks(1);
      PutU32(b, 1, 1);
      PutU32(b, 5, 3);
      PutU32(b, 9, 500);
      PutU8(b, 13, 1);
      return b;
    }
    case Make::kOther: break;
  }
  Bytes b = Blocks(1);
  PutText(b, 1, 32, "EXTERNAL TEXT OF AN UNKNOWN MAKE", ' ');
  return b;
}

GeneralRecord PresetRecord(Make make, Revision revision, std::uint32_t formatCode, std::uint32_t traces,
                           std::uint32_t samples) {
  GeneralRecord r;
  r.make = make;
  r.revision = revision;
  r.formatCode = formatCode;
  ChannelSet seis;
  seis.samples = samples;
  switch (make) {
    case Make::kSercel: {
      // 16 slots, an auxiliary set of 2 channels and the seismic set.
      r.fileNumber = 100;
      r.constants[5] = 0x01;  // a 408UL's general constants; all zero would be an SN388's
      seis.extensions = 7;
      ChannelSet aux = seis;
      aux.channelType = 9;
      aux.channels = std::min<std::uint32_t>(2, traces);
      seis.number = 2;
      seis.channels = traces - aux.channels;
      r.scanTypes = {{{aux, seis}}};
      r.scanTypes[0].sets.resize(16, UnusedSlot());
      if (revision.Rev3()) r.escapes = Escapes::All();  // as the 508XT writes them
      break;
    }
    case Make::kSmartSolo:
      seis.extensions = 7;
      seis.channels = traces;
      r.baseScanInterval = 64;
      r.scanTypes = {{{seis}}};
      r.scanTypes[0].sets.resize(16, UnusedSlot());
      r.escapes.receiverLine = r.escapes.receiverPoint = true;
      break;
    case Make::kFairfield: {
      seis.extensions = 10;
      r.sourceBlock = false;
      r.baseScanInterval = 32;
      for (std::uint32_t n = 1; n <= 3; ++n) {
        seis.number = n;
        seis.channels = traces / 3 + (n <= traces % 3 ? 1 : 0);
        if (r.scanTypes.empty()) r.scanTypes.emplace_back();
        r.scanTypes[0].sets.push_back(seis);
      }
      break;
    }
    case Make::kOther: {
      // Two scan types of three slots (the third unused), skew blocks and a
      // general trailer.
      seis.extensions = 2;
      r.baseScanInterval = 32;
      r.skewBlocks = 1;
      r.trailerBlocks = 2;
      const std::uint32_t per = std::max<std::uint32_t>(1, traces / 4);
      for (std::uint32_t t = 0; t < 2; ++t) {
        ScanType type;
        for (std::uint32_t n = 1; n <= 2; ++n) {
          seis.number = n;
          seis.channels = t == 1 && n == 2 && traces > 3 * per ? traces - 3 * per : per;
          type.sets.push_back(seis);
        }
        type.sets.push_back(UnusedSlot());
        r.scanTypes.push_back(type);
      }
      break;
    }
  }
  SplitLargeSets(r);
  if (revision.Rev3()) {
    for (ScanType& t : r.scanTypes) {
      for (ChannelSet& s : t.sets) s.description = "SET " + std::to_string(s.number);
    }
  }
  return r;
}

}  // namespace segd::writer::general

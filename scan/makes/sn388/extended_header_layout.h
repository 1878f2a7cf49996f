#pragma once
// The field table of the SN388 extended header: one row per field in header
// order, then the texts its coded fields decode to. The decoder, the
// Extended Header section and the record model all walk this one table.
#include <cstddef>

#include "scan/makes/sn388/extended_header.h"
#include "scan/makes/sn388/field_table.h"

namespace segd::extended {

using R = ExtendedHeaderRecord;

// The decoder reads bytes 1 to 1023; byte 1024 belongs to no field.
inline constexpr int kLastByteRead = 1023;
inline constexpr int kBlockBytes = 1024;
// Listing labels: the label padded to 37 characters, then ": ".
inline constexpr std::size_t kLabelColumn = 37;

using enum Conversion;
// The field with neither label nor name is filled and checked, never listed.
inline constexpr FieldRow<R> kFields[] = {
    // Bytes count from 1 within the extended header.
    {"Acquisition Length", "acquisition_length", Bytes(1, 4), Decimal, SEGD_AT(R, AcquisitionLength)},
    {"Sample Rate", "sample_rate", Bytes(5, 8), Decimal, SEGD_AT(R, SampleRate)},
    {"Total Traces", "total_traces", Bytes(9, 12), Decimal, SEGD_AT(R, TotalTraces)},
    {"", "", Bytes(13, 16), Decimal, SEGD_AT(R, UpholeFlag)},
    {"Number of AUX Traces", "number_of_aux_traces", Bytes(17, 20), Decimal, SEGD_AT(R, AuxTraces)},
    {"Number of Seis Traces", "number_of_seis_traces", Bytes(21, 24), Decimal, SEGD_AT(R, SeisTraces)},
    // Bytes 25-28 are read into no field.
    {"Number of Live Seis Traces", "number_of_live_seis_traces", Bytes(29, 32), Decimal, SEGD_AT(R, LiveSeisTraces)},
    {"Aux Type", "aux_type", Bytes(33, 36), Decimal, SEGD_AT(R, AuxType)},
    {"Unused", "unused", Bytes(37, 40), Decimal, SEGD_AT(R, Unused1)},
    {"Source Type", "source_type", Bytes(41, 44), Decimal, SEGD_AT(R, SourceType)},
    {"Fire Order Control", "fire_order_control", Bytes(45, 48), Decimal, SEGD_AT(R, FireOrderControl)},
    {"Samples Per Trace", "samples_per_trace", Bytes(49, 52), Decimal, SEGD_AT(R, SamplesPerTrace)},
    {"Unused", "unused_2", Bytes(53, 56), Decimal, SEGD_AT(R, Unused2)},
    {"Input Signal", "input_signal", Bytes(57, 60), Decimal, SEGD_AT(R, InputSignal)},
    {"Sig Gen Shape", "sig_gen_shape", Bytes(61, 64), Decimal, SEGD_AT(R, SigGenShape)},
    {"Sig Gen Level", "sig_gen_level", Bytes(65, 68), Decimal, SEGD_AT(R, SigGenLevel)},
    {"Shot Number", "shot_number", Bytes(69, 72), Decimal, SEGD_AT(R, ShotNumber)},
    {"Unused", "unused_3", Bytes(73, 76), Decimal, SEGD_AT(R, Unused3)},
    {"Time Break Window", "time_break_window", Bytes(77, 80), Decimal, SEGD_AT(R, TimeBreakWindow)},
    {"Test Type", "test_type", Bytes(81, 84), Decimal, SEGD_AT(R, TestType)},
    {"Swath First Line", "swath_first_line", Bytes(85, 88), Decimal, SEGD_AT(R, SwathFirstLine)},
    {"Swath First Number", "swath_first_number", Bytes(89, 92), Decimal, SEGD_AT(R, SwathFirstNumber)},
    {"Spread Number", "spread_number", Bytes(93, 96), Decimal, SEGD_AT(R, SpreadNumber)},
    {"Spread Type", "spread_type", Bytes(97, 100), Decimal, SEGD_AT(R, SpreadType)},
    {"Receiver Point Step", "receiver_point_step", Bytes(101, 104), Decimal, SEGD_AT(R, ReceiverPointStep)},
    {"Synthetic File Name", "synthetic_file_name", Bytes(105, 168), Characters, SEGD_AT(R, SyntheticFileName)},
    {"Number of Acq with ITB", "number_of_acq_with_itb", Bytes(169, 172), Decimal, SEGD_AT(R, AcqWithItb)},
    {"Uphole Time", "uphole_time", Bytes(173, 176), Decimal, SEGD_AT(R, UpholeTime)},
    {"Blaster ID", "blaster_id", Bytes(177, 180), Decimal, SEGD_AT(R, BlasterId)},
    {"Blaster Status", "blaster_status", Bytes(181, 184), Decimal, SEGD_AT(R, BlasterStatus)},
    {"SAR Signal Type", "sar_signal_type", Bytes(185, 188), Decimal, SEGD_AT(R, SarSignalType)},
    {"SAR Generator Level", "sar_generator_level", Bytes(189, 192), Decimal, SEGD_AT(R, SarGeneratorLevel)},
    {"SAR Prestack", "sar_prestack", Bytes(193, 196), Decimal, SEGD_AT(R, SarPrestack)},
    {"Timebreak to T0", "timebreak_to_t0", Bytes(197, 200), Decimal, SEGD_AT(R, TimebreakToT0)},
    {"Number of Radio Retries", "number_of_radio_retries", Bytes(201, 204), Decimal, SEGD_AT(R, RadioRetries)},
    {"Number of Single Sync Errors", "number_of_single_sync_errors", Bytes(205, 208), Decimal,
     SEGD_AT(R, SingleSyncErrors)},
    {"Number of Acq WIth Sync Errs", "number_of_acq_with_sync_errs", Bytes(209, 212), Decimal,
     SEGD_AT(R, AcqWithSyncErrors)},
    {"Time of First Sync Error", "time_of_first_sync_error", Bytes(213, 216), Decimal, SEGD_AT(R, FirstSyncErrorTime)},
    {"Total Num Chan with Sync Err", "total_num_chan_with_sync_err", Bytes(217, 220), Decimal,
     SEGD_AT(R, ChannelsWithSyncError)},
    {"Number of Acq with Sync Err", "number_of_acq_with_sync_err", Bytes(221, 224), Decimal,
     SEGD_AT(R, AcqWithChannelSyncError)},
    {"Time of First Chan Sync Err", "time_of_first_chan_sync_err", Bytes(225, 228), Decimal,
     SEGD_AT(R, FirstChannelSyncErrorTime)},
    {"Total Num. of Scan Data Errs", "total_num_of_scan_data_errs", Bytes(229, 232), Decimal,
     SEGD_AT(R, ScanDataErrors)},
    {"Num. of Acq with Scan Data Err", "num_of_acq_with_scan_data_err", Bytes(233, 236), Decimal,
     SEGD_AT(R, AcqWithScanDataError)},
    {"Time of first Scan Data Err", "time_of_first_scan_data_err", Bytes(237, 240), Decimal,
     SEGD_AT(R, FirstScanDataErrorTime)},
    {"Total Number of TX Errors", "total_number_of_tx_errors", Bytes(241, 244), Decimal, SEGD_AT(R, TxErrors)},
    {"Number of Acq With TX Errors", "number_of_acq_with_tx_errors", Bytes(245, 248), Decimal,
     SEGD_AT(R, AcqWithTxErrors)},
    {"Number of ACQ with Invalid Status", "number_of_acq_with_invalid_status", Bytes(249, 252), Decimal,
     SEGD_AT(R, AcqWithInvalidStatus)},
    {"Chan Errors Reported in Trace Header", "chan_errors_reported_in_trace_header", Bytes(253, 256), Decimal,
     SEGD_AT(R, ChannelErrorsInTraceHeader)},
    {"Noise Elimination Type", "noise_elimination_type", Bytes(257, 260), Decimal, SEGD_AT(R, NoiseEliminationType)},
    {"Low Trace Percentage", "low_trace_percentage", Bytes(261, 264), Decimal, SEGD_AT(R, LowTracePercentage)},
    {"Low Trace Value", "low_trace_value", Bytes(265, 268), Decimal, SEGD_AT(R, LowTraceValue)},
    {"Number of Windows", "number_of_windows", Bytes(269, 272), Decimal, SEGD_AT(R, WindowCount)},
    {"Historic Edit Type", "historic_edit_type", Bytes(273, 276), Decimal, SEGD_AT(R, HistoricEditType)},
    {"Noisy Trace Percentage", "noisy_trace_percentage", Bytes(277, 280), Decimal, SEGD_AT(R, NoisyTracePercentage)},
    {"Historic Range", "historic_range", Bytes(281, 284), Decimal, SEGD_AT(R, HistoricRange)},
    {"Historic Taper Length", "historic_taper_length", Bytes(285, 288), Decimal, SEGD_AT(R, HistoricTaperLength)},
    {"Threshold/Var", "threshold_var", Bytes(289, 292), Decimal, SEGD_AT(R, ThresholdVar)},
    {"Historic Initial Value", "historic_initial_value", Bytes(293, 296), Decimal, SEGD_AT(R, HistoricInitialValue)},
    {"Historic Zeroing Length", "historic_zeroing_length", Bytes(297, 300), Decimal, SEGD_AT(R, HistoricZeroingLength)},
    {"Type of Process", "type_of_process", Bytes(301, 304), Decimal, SEGD_AT(R, ProcessType)},
    // The tables are 128 bytes; their fields keep the first 128 digits, so
    // only the first 64 bytes of each reach the report.
    {"Acquisition Table", "acquisition_table", Bytes(305, 432), Hex, SEGD_AT(R, AcquisitionTable)},
    {"Threshold Type Tables", "threshold_type_tables", Bytes(433, 560), Hex, SEGD_AT(R, ThresholdTypeTables)},
    {"Stacking Fold", "stacking_fold", Bytes(561, 564), Decimal, SEGD_AT(R, StackingFold)},
    {"Aux Correlation Descriptor", "aux_correlation_descriptor", Bytes(565, 644), Characters,
     SEGD_AT(R, AuxCorrelationDescriptor)},
    {"FFT Exponent", "fft_exponent", Bytes(645, 648), Decimal, SEGD_AT(R, FftExponent)},
    {"Investigation Length", "investigation_length", Bytes(649, 652), Decimal, SEGD_AT(R, InvestigationLength)},
    {"Auto Correlation Time", "auto_correlation_time", Bytes(653, 656), Decimal, SEGD_AT(R, AutoCorrelationTime)},
    {"Source Aux Number", "source_aux_number", Bytes(657, 660), Decimal, SEGD_AT(R, SourceAuxNumber)},
    {"Source 1 Aux Number", "source_1_aux_number", Bytes(661, 664), Decimal, SEGD_AT(R, Source1AuxNumber)},
    {"Source 2 Aux Number", "source_2_aux_number", Bytes(665, 668), Decimal, SEGD_AT(R, Source2AuxNumber)},
    {"Pilot Length", "pilot_length", Bytes(669, 672), Decimal, SEGD_AT(R, PilotLength)},
    {"Sweep Length", "sweep_length", Bytes(673, 676), Decimal, SEGD_AT(R, SweepLength)},
    {"Dump Stack Fold", "dump_stack_fold", Bytes(677, 680), Decimal, SEGD_AT(R, DumpStackFold)},
    {"Extra Dump", "extra_dump", Bytes(681, 684), Decimal, SEGD_AT(R, ExtraDump)},
    {"Max of Max AUX", "max_of_max_aux", Bytes(685, 688), Decimal, SEGD_AT(R, MaxOfMaxAux)},
    {"Max of Max Seis", "max_of_max_seis", Bytes(689, 692), Decimal, SEGD_AT(R, MaxOfMaxSeis)},
    {"Source Number for this Record", "source_number_for_this_record", Bytes(693, 696), Decimal,
     SEGD_AT(R, SourceNumber)},
    {"Unused", "unused_4", Bytes(697, 700), Decimal, SEGD_AT(R, Unused4)},
    {"Tape Unit Number", "tape_unit_number", Bytes(701, 704), Decimal, SEGD_AT(R, TapeUnitNumber)},
    {"Tape Label", "tape_label", Bytes(705, 720), TrimmedCharacters, SEGD_AT(R, TapeLabel)},
    {"Tape Number", "tape_number", Bytes(721, 724), Decimal, SEGD_AT(R, TapeNumber)},
    {"Source Line", "source_line", Bytes(725, 728), Single, SEGD_AT(R, SourceLine)},
    {"Source Point", "source_point", Bytes(729, 732), Single, SEGD_AT(R, SourcePoint)},
    {"Tape Transport Mode", "tape_transport_mode", Bytes(733, 736), Decimal, SEGD_AT(R, TapeTransportMode)},
    {"Number of Trace Header Extentions", "number_of_trace_header_extentions", Bytes(737, 740), Decimal,
     SEGD_AT(R, TraceHeaderExtensionCount)},
    {"Software Version", "software_version", Bytes(741, 756), TrimmedCharacters, SEGD_AT(R, SoftwareVersion)},
    {"File Header Checksum", "file_header_checksum", Bytes(757, 760), Decimal, SEGD_AT(R, FileHeaderChecksum)},
    {"Number of Files Per Tape", "number_of_files_per_tape", Bytes(761, 764), Decimal, SEGD_AT(R, FilesPerTape)},
    {"File Count", "file_count", Bytes(765, 768), Decimal, SEGD_AT(R, FileCount)},
    {"Source Point Index", "source_point_index", Bytes(769, 772), Decimal, SEGD_AT(R, SourcePointIndex)},
    {"Date of Acquisition", "date_of_acquisition", Bytes(773, 784), TrimmedCharacters, SEGD_AT(R, AcquisitionDate)},
    {"Slipsweep Mode", "slipsweep_mode", Bytes(785, 788), Decimal, SEGD_AT(R, SlipsweepMode)},
    {"Time Break (uS)", "time_break_us", Bytes(789, 792), Decimal, SEGD_AT(R, TimeBreakMicroseconds)},
    {"Source Easting", "source_easting", Bytes(793, 800), Double, SEGD_AT(R, SourceEasting)},
    {"Source Northing", "source_northing", Bytes(801, 808), Double, SEGD_AT(R, SourceNorthing)},
    {"Source Elevation", "source_elevation", Bytes(809, 812), Single, SEGD_AT(R, SourceElevation)},
    // 211 digits: bytes 813-917 and the high half of byte 918.
    {"Unused", "unused_5", Bytes(813, kLastByteRead), Hex, SEGD_AT(R, Unused5)},
    // Filled by the checks of the coded fields.
    {"Source Type", "source_type_text", {}, Text, SEGD_AT(R, SourceTypeText)},
    {"Test Type", "test_type_text", {}, Text, SEGD_AT(R, TestTypeText)},
    {"Spread Type", "spread_type_text", {}, Text, SEGD_AT(R, SpreadTypeText)},
    {"Blaster Status MACHA", "blaster_status_macha", {}, Text, SEGD_AT(R, BlasterStatusMacha), Shown::Full, " 0 "},
    {"Blaster Status OPSEIS", "blaster_status_opseis", {}, Text, SEGD_AT(R, BlasterStatusOpseis), Shown::Full, " 0 "},
    {"Blaster Status SHOTPRO", "blaster_status_shotpro", {}, Text,
     SEGD_AT(R, BlasterStatusShotpro), Shown::Full, " 0 "},
    {"Noise Elimination Type", "noise_elimination_type_text", {}, Text, SEGD_AT(R, NoiseEliminationText)},
    {"Historic Edit Type", "historic_edit_type_text", {}, Text, SEGD_AT(R, HistoricEditText)},
    {"Threshold/Var", "threshold_var_text", {}, Text, SEGD_AT(R, ThresholdVarText)},
    {"Type of Process", "type_of_process_text", {}, Text, SEGD_AT(R, ProcessTypeText)},
    {"Error Information", "error_information", {}, Text, SEGD_AT(R, ErrorInformation)},
};
static_assert(TableIsSound(kFields, kBlockBytes, kLabelColumn));

constexpr std::size_t ListedCount() {
  std::size_t count = 0;
  for (const FieldRow<R>& row : kFields) count += row.label.empty() || !ReadsTheBlock(row.conversion) ? 0 : 1;
  return count;
}
static_assert(ListedCount() == 96 && std::size(kFields) == 97 + 11);

}  // namespace segd::extended

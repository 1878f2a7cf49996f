#include "cli/export_options.h"

#include <charconv>

#include "output/writers.h"

namespace segd::cli {
namespace {

struct ExportOption {
  std::string_view name;
  bool value;  // takes a value
  // Applies the value; false with `error` set when it is bad.
  bool (*apply)(ExportFlags& f, const std::string& value, std::string& error);
};

bool Integer(const std::string& value, int& out) {
  const auto r = std::from_chars(value.data(), value.data() + value.size(), out);
  return r.ec == std::errc() && r.ptr == value.data() + value.size();
}

// The export writers' file and folder options are their registry rows'.
const output::WriterKind& kSegy = *output::FindWriter("segy");
const output::WriterKind& kMseed = *output::FindWriter("mseed");

const ExportOption kExportOptions[] = {
    {kSegy.option, true, [](ExportFlags& f, const std::string& v, std::string&) { return bool(f.request.segy = v); }},
    {kMseed.option, true, [](ExportFlags& f, const std::string& v, std::string&) { return bool(f.request.mseed = v); }},
    {kSegy.batchOption, true, [](ExportFlags& f, const std::string& v, std::string&) { return bool(f.segyDir = v); }},
    {kMseed.batchOption, true, [](ExportFlags& f, const std::string& v, std::string&) { return bool(f.mseedDir = v); }},
    {"--segy-revision", true,
     [](ExportFlags& f, const std::string& v, std::string& error) {
       if (v == "1" || v == "2") return Integer(v, f.request.segyOptions.revision);
       error = "--segy-revision is 1 or 2, not '" + v + "'";
       return false;
     }},
    {"--seismic-only", false,
     [](ExportFlags& f, const std::string&, std::string&) {
       return f.request.segyOptions.seismicOnly = f.request.mseedOptions.seismicOnly = true;
     }},
    {"--network", true, [](ExportFlags& f, const std::string& v, std::string&) { return f.request.mseedOptions.network = v, true; }},
    {"--station", true, [](ExportFlags& f, const std::string& v, std::string&) { return f.request.mseedOptions.station = v, true; }},
    {"--location", true, [](ExportFlags& f, const std::string& v, std::string&) { return f.request.mseedOptions.location = v, true; }},
    {"--channel", true, [](ExportFlags& f, const std::string& v, std::string&) { return bool(f.request.mseedOptions.channel = v); }},
    {"--instrument", true,
     [](ExportFlags& f, const std::string& v, std::string& error) {
       if (v.size() == 1) return f.request.mseedOptions.instrument = v[0], true;
       error = "--instrument is one letter (SEED instrument code), not '" + v + "'";
       return false;
     }},
    {"--mseed-record-length", true,
     [](ExportFlags& f, const std::string& v, std::string& error) {
       if (v == "512" || v == "4096") return Integer(v, f.request.mseedOptions.recordLength);
       error = "--mseed-record-length is 512 or 4096, not '" + v + "'";
       return false;
     }},
    {"--steim2", false, [](ExportFlags& f, const std::string&, std::string&) { return f.request.mseedOptions.steim2 = true; }},
    {"--bit-weight", true,
     [](ExportFlags& f, const std::string& v, std::string& error) {
       double w = 0;
       const auto r = std::from_chars(v.data(), v.data() + v.size(), w);
       if (r.ec == std::errc() && r.ptr == v.data() + v.size() && w > 0) return f.request.mseedOptions.bitWeight = w, true;
       error = "--bit-weight is the value of one count, a number greater than 0, not '" + v + "'";
       return false;
     }},
};

}  // namespace

const std::string_view kExportUsage =
    "Export (one walk of the samples; files written whole or not at all):\n"
    "  --segy FILE          SEG-Y, IEEE floats; trace header map in the README\n"
    "  --segy-revision N    1 (default; at most 32,767 samples a trace) or 2\n"
    "  --mseed FILE         miniSEED (libmseed): one segment per trace, FLOAT32\n"
    "  --steim2 --bit-weight W  Steim2 counts of W (refused where values would round)\n"
    "  --mseed-record-length 512|4096 (default 4096)\n"
    "  --network XX --station TEMPLATE --location LL --channel CCC --instrument I\n"
    "                       SEED codes (station template: {point} default, {line},\n"
    "                       {serial}, {set}, {trace}, {seq}); too long: refused\n"
    "  --seismic-only       leave out auxiliary traces\n"
    "  --segy-dir DIR, --mseed-dir DIR  (batch) one file per record\n";

bool ExportOptionTakesValue(std::string_view arg) {
  for (const ExportOption& o : kExportOptions) {
    if (o.value && arg == o.name) return true;
  }
  return false;
}

bool TakeExportOption(const std::vector<std::string>& args, std::size_t& i, ExportFlags& flags, std::string& error) {
  const std::string& arg = args[i];
  for (const ExportOption& o : kExportOptions) {
    const bool withEquals = arg.size() > o.name.size() && arg.compare(0, o.name.size(), o.name) == 0 && arg[o.name.size()] == '=';
    if (arg != o.name && !(o.value && withEquals)) continue;
    std::string value;
    if (withEquals) {
      value = arg.substr(o.name.size() + 1);
    } else if (o.value) {
      if (i + 1 >= args.size() || args[i + 1].compare(0, 2, "--") == 0) {
        error = "option " + std::string(o.name) + " needs a value";
        return true;
      }
      value = args[++i];
    }
    if (o.value && value.empty() && o.name != "--location") {
      error = "option " + std::string(o.name) + " needs a value";
      return true;
    }
    if (!o.apply(flags, value, error) && error.empty()) error = "bad value for " + std::string(o.name);
    return true;
  }
  return false;
}

}  // namespace segd::cli

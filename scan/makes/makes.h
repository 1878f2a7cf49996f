#pragma once
// What a make adds to the standard: its trace header extension columns, its
// extended and external header fields, the summary facts they hold, and the
// names of the channel set bytes it uses its own way. One descriptor per
// make (scan/makes/makes.cpp and the make_*.cpp tables), found by FindMake;
// the standard's bytes are read by the standard's tables for every make.
#include <span>
#include <string_view>

#include "scan/standard/generic_record.h"
#include "scan/standard/trace_header_tables.h"

namespace segd::generic {

// A summary fact taken from a field of the make's extended or external
// header: the field's data name and the summary's name for it.
struct SummaryFrom {
  enum class Header : std::uint8_t { Extended, External };
  Header header;
  std::string_view field;
  std::string_view summary;
};

// A standard field the make uses for something else: its data name there.
struct Rename {
  std::string_view standard;
  std::string_view make;
};

struct MakeDescriptor {
  std::string_view id;  // "sn388", "sercel", "smartsolo", "fairfield"
  bool (*matches)(const RecordShape& shape);
  // Extensions 2 and later, and (when extension1Tail is false) extension 1
  // bytes 11 and later as well.
  std::span<const ColumnSpec> columns{};
  bool extension1Tail = true;  // false: extension 1 bytes 11-32 are the make's own
  std::span<const FieldSpec> extended{};  // each decoded where the header reaches its bytes
  std::span<const FieldSpec> external{};
  std::span<const SummaryFrom> summary{};
  std::span<const Rename> channelSet{};
  // In continuous recording: columns that replace those of `columns` at the
  // same block and byte.
  std::span<const ColumnSpec> continuous{};
};

// The make of a record whose general header blocks 1 and 2 are in `shape`,
// or nullptr for a make whose own headers no source documents.
const MakeDescriptor* FindMake(const RecordShape& shape);

// The makes' tables (make_*.cpp).
extern const MakeDescriptor kSn388Make;
extern const MakeDescriptor kSercelMake;
extern const MakeDescriptor kSmartSoloMake;
extern const MakeDescriptor kFairfield16Make;
extern const MakeDescriptor kFairfieldZSystemMake;

}  // namespace segd::generic

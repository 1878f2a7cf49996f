#pragma once
// Record texts to Python, converted as the data outputs convert them (the
// record's bytes 0x80-0xFF are Windows-1252 characters).
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>
#include <string_view>

#include <vector>

#include "scan/model/record_model.h"
#include "scan/model/record_scan.h"

namespace segd::python {

// Appends the characters of record bytes as UTF-32 (for numpy's unicode
// fields).
void AppendRecordChars(std::u32string& out, std::string_view bytes);

pybind11::str RecordText(std::string_view bytes);

// A text of this machine (a path, a notice naming one) as Python's os.fsdecode
// gives it: UTF-8, a byte outside it kept as a surrogate escape.
pybind11::str HostText(std::string_view bytes);

// A decoded value as Python: None, bool, int (a number without fraction or
// exponent), float or str.
pybind11::object ValueObject(const model::Value& value);

// A run's status as the package names it: "ok", "findings", "not_segd",
// "cannot_open", "cancelled".
const char* StatusName(model::ScanStatus status);

// A run's notices as dicts of text, caption and kind ("warning", "plain").
pybind11::list NoticeList(const std::vector<model::Notice>& notices);

// A header block's fields as a dict of data name to value.
pybind11::dict BlockDict(const model::Block& block);

}  // namespace segd::python

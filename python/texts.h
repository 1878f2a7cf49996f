#pragma once
// Record texts to Python: the record's bytes 0x80-0xFF are Windows-1252
// characters (the five bytes that code leaves undefined keep their own code
// points, as web browsers read them).
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string_view>

#include "scan/record_model.h"

namespace segd::python {

// The character a record byte stands for.
char32_t Cp1252Char(std::uint8_t byte);

pybind11::str RecordText(std::string_view bytes);

// A decoded value as Python: None, bool, int (a number without fraction or
// exponent), float or str.
pybind11::object ValueObject(const model::Value& value);

// A header block's fields as a dict of data name to value.
pybind11::dict BlockDict(const model::Block& block);

}  // namespace segd::python

#include "python/trace_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "python/texts.h"

namespace segd::python {

namespace py = pybind11;
using model::Value;
using model::ValueType;

void TraceTable::Begin(const model::RecordHeaders& headers) {
  begun_ = true;
  headers_ = headers;
  columns_.assign(headers.traceColumns.size(), Column{});
  for (std::size_t i = 0; i < columns_.size(); ++i) columns_[i].type = headers.traceColumns[i].type;
}

void TraceTable::Append(Column& column, const Value& value) {
  const bool null = value.IsNull() || (column.type != ValueType::Text && value.kind == Value::Kind::Text);
  column.nulls.push_back(null ? 1 : 0);
  column.anyNull = column.anyNull || null;
  switch (column.type) {
    case ValueType::Integer: {
      std::int64_t whole = 0;
      if (!null) {
        // A double holds every integer up to 2^53 exactly; larger ones are
        // read from their digits.
        if (value.kind == Value::Kind::Bool) {
          whole = value.flag ? 1 : 0;
        } else if (std::fabs(value.number) < 9007199254740992.0 && value.number == std::trunc(value.number)) {
          whole = static_cast<std::int64_t>(value.number);
        } else {
          const char* first = value.text.data();
          const char* last = first + value.text.size();
          const auto [end, error] = std::from_chars(first, last, whole);
          if (error != std::errc() || end != last) whole = static_cast<std::int64_t>(value.number);
        }
      }
      column.integers.push_back(whole);
      break;
    }
    case ValueType::Real:
      column.reals.push_back(null ? std::numeric_limits<double>::quiet_NaN()
                                  : value.kind == Value::Kind::Bool ? (value.flag ? 1.0 : 0.0)
                                                                    : value.number);
      break;
    case ValueType::Bool:
      column.flags.push_back(!null && (value.kind == Value::Kind::Bool ? value.flag : value.number != 0) ? 1 : 0);
      break;
    case ValueType::Text:
      column.textBytes += value.text;
      column.textEnds.push_back(column.textBytes.size());
      column.widest = std::max(column.widest, value.text.size());
      break;
  }
}

void TraceTable::Row(const model::TraceRow& row) {
  static const Value kNothing;
  for (std::size_t i = 0; keepRows_ && i < columns_.size(); ++i) Append(columns_[i], i < row.values.size() ? row.values[i] : kNothing);
  ++rows_;
}

void TraceTable::End(const model::RecordHeaders&, const model::Integrity&, const std::vector<model::Notice>&) {}

namespace {

std::string FieldFormat(ValueType type, bool anyNull, std::size_t widest) {
  switch (type) {
    case ValueType::Integer:
      return anyNull ? "<f8" : "<i8";
    case ValueType::Real:
      return "<f8";
    case ValueType::Bool:
      return anyNull ? "<f8" : "?";
    case ValueType::Text:
      break;
  }
  return "<U" + std::to_string(std::max<std::size_t>(widest, 1));
}

void WriteText(std::string_view text, char* out, std::u32string& scratch) {
  // ASCII, by far the most common, is widened byte by byte; other bytes go
  // through the outputs' conversion.
  if (std::all_of(text.begin(), text.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; })) {
    for (std::size_t k = 0; k < text.size(); ++k) {
      const char32_t ch = static_cast<unsigned char>(text[k]);
      std::memcpy(out + k * sizeof ch, &ch, sizeof ch);
    }
    return;
  }
  scratch.clear();
  AppendRecordChars(scratch, text);
  std::memcpy(out, scratch.data(), scratch.size() * sizeof(char32_t));
}

}  // namespace

void TraceTable::WriteCell(const Column& c, std::size_t r, char* out, std::uint64_t& textStart, std::u32string& scratch) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  switch (c.type) {
    case ValueType::Integer:
      if (c.anyNull) {
        const double v = c.nulls[r] ? nan : static_cast<double>(c.integers[r]);
        std::memcpy(out, &v, sizeof v);
      } else {
        std::memcpy(out, &c.integers[r], sizeof(std::int64_t));
      }
      break;
    case ValueType::Real:
      std::memcpy(out, &c.reals[r], sizeof(double));
      break;
    case ValueType::Bool:
      if (c.anyNull) {
        const double v = c.nulls[r] ? nan : c.flags[r];
        std::memcpy(out, &v, sizeof v);
      } else {
        *out = static_cast<char>(c.flags[r]);
      }
      break;
    case ValueType::Text:
      WriteText(std::string_view(c.textBytes).substr(textStart, c.textEnds[r] - textStart), out, scratch);
      textStart = c.textEnds[r];
      break;
  }
}

py::array TraceTable::TakeArray() {
  py::list descr;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    const Column& c = columns_[i];
    descr.append(py::make_tuple(headers_.traceColumns[i].name, FieldFormat(c.type, c.anyNull, c.widest)));
  }
  const py::dtype dtype = py::module_::import("numpy").attr("dtype")(descr);
  const std::size_t rows = static_cast<std::size_t>(rows_);
  py::array array(dtype, std::vector<py::ssize_t>{static_cast<py::ssize_t>(rows)});
  const std::size_t stride = static_cast<std::size_t>(dtype.itemsize());
  std::vector<std::size_t> offsets;
  const py::dict fields = dtype.attr("fields");
  for (const model::Column& column : headers_.traceColumns) {
    offsets.push_back(fields[py::str(column.name)].cast<py::tuple>()[1].cast<std::size_t>());
  }
  char* data = static_cast<char*>(array.mutable_data());

  py::gil_scoped_release release;
  // Row by row, so that the array is written once in order; each column's
  // buffer is read in order too.
  std::memset(data, 0, rows * stride);
  std::vector<std::uint64_t> textStarts(columns_.size(), 0);
  std::u32string scratch;
  for (std::size_t r = 0; r < rows; ++r) {
    char* row = data + r * stride;
    for (std::size_t i = 0; i < columns_.size(); ++i) WriteCell(columns_[i], r, row + offsets[i], textStarts[i], scratch);
  }
  columns_.clear();
  columns_.shrink_to_fit();
  return array;
}


}  // namespace segd::python

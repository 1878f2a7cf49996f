#include "python/trace_table.h"

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
        const char* first = value.text.data();
        const char* last = first + value.text.size();
        const auto [end, error] = std::from_chars(first, last, whole);
        if (error != std::errc() || end != last) whole = static_cast<std::int64_t>(value.number);
        if (value.kind == Value::Kind::Bool) whole = value.flag ? 1 : 0;
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
  for (std::size_t i = 0; i < columns_.size(); ++i) Append(columns_[i], i < row.values.size() ? row.values[i] : kNothing);
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

}  // namespace

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

  {
  py::gil_scoped_release release;
  std::memset(data, 0, rows * stride);
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    Column& c = columns_[i];
    char* base = data + offsets[i];
    const double nan = std::numeric_limits<double>::quiet_NaN();
    switch (c.type) {
      case ValueType::Integer:
        for (std::size_t r = 0; r < rows; ++r) {
          if (c.anyNull) {
            const double v = c.nulls[r] ? nan : static_cast<double>(c.integers[r]);
            std::memcpy(base + r * stride, &v, sizeof v);
          } else {
            std::memcpy(base + r * stride, &c.integers[r], sizeof(std::int64_t));
          }
        }
        break;
      case ValueType::Real:
        for (std::size_t r = 0; r < rows; ++r) std::memcpy(base + r * stride, &c.reals[r], sizeof(double));
        break;
      case ValueType::Bool:
        for (std::size_t r = 0; r < rows; ++r) {
          if (c.anyNull) {
            const double v = c.nulls[r] ? nan : c.flags[r];
            std::memcpy(base + r * stride, &v, sizeof v);
          } else {
            base[r * stride] = static_cast<char>(c.flags[r]);
          }
        }
        break;
      case ValueType::Text: {
        std::uint64_t start = 0;
        std::u32string chars;
        for (std::size_t r = 0; r < rows; ++r) {
          chars.clear();
          AppendRecordChars(chars, std::string_view(c.textBytes).substr(start, c.textEnds[r] - start));
          std::memcpy(base + r * stride, chars.data(), chars.size() * sizeof(char32_t));
          start = c.textEnds[r];
        }
        break;
      }
    }
    c = Column{};  // the copy is made: its buffers go
  }
  }
  return array;
}

}  // namespace segd::python

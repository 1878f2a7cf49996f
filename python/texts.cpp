#include "python/texts.h"

#include <charconv>
#include <string>

namespace segd::python {

namespace py = pybind11;

namespace {

// 0x80-0x9F; zero where the code defines no character.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

char32_t Cp1252Char(std::uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0) return kHighControls[byte - 0x80];
  return byte;
}

py::str RecordText(std::string_view bytes) {
  std::u32string chars;
  chars.reserve(bytes.size());
  for (char c : bytes) chars.push_back(Cp1252Char(static_cast<std::uint8_t>(c)));
  PyObject* text = PyUnicode_FromKindAndData(PyUnicode_4BYTE_KIND, chars.data(), static_cast<Py_ssize_t>(chars.size()));
  if (!text) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(text);
}

py::object ValueObject(const model::Value& value) {
  switch (value.kind) {
    case model::Value::Kind::Null:
      return py::none();
    case model::Value::Kind::Bool:
      return py::bool_(value.flag);
    case model::Value::Kind::Text:
      return RecordText(value.text);
    case model::Value::Kind::Number: {
      // Whole numbers as int from their digits, so that no digit is lost to
      // a double; the rest as float.
      std::int64_t whole = 0;
      const char* first = value.text.data();
      const char* last = first + value.text.size();
      const auto [end, error] = std::from_chars(first, last, whole);
      if (error == std::errc() && end == last) return py::int_(whole);
      if (value.text.find_first_of(".eE") == std::string::npos && !value.text.empty()) {
        if (PyObject* big = PyLong_FromString(value.text.c_str(), nullptr, 10)) return py::reinterpret_steal<py::object>(big);
        PyErr_Clear();
      }
      return py::float_(value.number);
    }
  }
  return py::none();
}

py::dict BlockDict(const model::Block& block) {
  py::dict fields;
  for (const model::Field& field : block.fields) fields[py::str(field.name)] = ValueObject(field.value);
  return fields;
}

}  // namespace segd::python

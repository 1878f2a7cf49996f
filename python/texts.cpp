#include "python/texts.h"

#include <charconv>
#include <string>

#include "output/text_encoding.h"

namespace segd::python {

namespace py = pybind11;

void AppendRecordChars(std::u32string& out, std::string_view bytes) {
  std::string utf8;
  output::AppendRecordText(utf8, bytes);
  // The encoder writes whole sequences of at most three bytes (U+0000-U+FFFF).
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<std::uint8_t>(utf8[i]);
    const auto next = [&](std::size_t k) { return static_cast<char32_t>(static_cast<std::uint8_t>(utf8[i + k]) & 0x3F); };
    if (lead < 0x80) {
      out.push_back(lead);
      i += 1;
    } else if (lead < 0xE0) {
      out.push_back((static_cast<char32_t>(lead & 0x1F) << 6) | next(1));
      i += 2;
    } else {
      out.push_back((static_cast<char32_t>(lead & 0x0F) << 12) | (next(1) << 6) | next(2));
      i += 3;
    }
  }
}

py::str HostText(std::string_view bytes) {
  PyObject* text = PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), "surrogateescape");
  if (!text) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(text);
}

const char* StatusName(model::ScanStatus status) {
  switch (status) {
    case model::ScanStatus::Ok:
      return "ok";
    case model::ScanStatus::Findings:
      return "findings";
    case model::ScanStatus::NotSegd:
      return "not_segd";
    case model::ScanStatus::CannotOpen:
      return "cannot_open";
    case model::ScanStatus::Cancelled:
      return "cancelled";
  }
  return "not_segd";
}

py::list NoticeList(const std::vector<model::Notice>& notices) {
  py::list list;
  for (const model::Notice& n : notices) {
    py::dict notice;
    // Notices are this machine's texts: a path in one keeps its bytes.
    notice["text"] = HostText(n.text);
    notice["caption"] = HostText(n.caption);
    notice["kind"] = n.level == model::NoticeLevel::Warning ? "warning" : "plain";
    list.append(notice);
  }
  return list;
}

py::str RecordText(std::string_view bytes) {
  std::u32string chars;
  AppendRecordChars(chars, bytes);
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

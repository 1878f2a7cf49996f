#pragma once
// SEG-Y and miniSEED export for Python (segdreport/_export.py): the command
// line's export, one walk of the samples without the interpreter lock.
#include <pybind11/pybind11.h>

namespace segd::python {

// Adds export_record() to the module.
void AddExport(pybind11::module_& module);

}  // namespace segd::python

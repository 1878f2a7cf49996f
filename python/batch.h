#pragma once
// The batch summary and line QC of the command line for Python: the same
// record finder, summary rows and QC checks, the records scanned on a pool of
// jobs without the interpreter lock.
#include <pybind11/pybind11.h>

namespace segd::python {

// Adds summarize() and line_qc() to the module.
void AddBatch(pybind11::module_& module);

}  // namespace segd::python

#pragma once
// segdreport._core's sample functions (python/samples.cpp).
#include <pybind11/pybind11.h>

namespace segd::python {

void AddSamples(pybind11::module_& m);

}  // namespace segd::python

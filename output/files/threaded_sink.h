#pragma once
// Report writing on a second thread: the trace walk fills one buffer while
// a writer thread hands the previous one to the real sink, so the system's
// write time overlaps the decoding instead of adding to it.
#include <cstddef>
#include <memory>

#include "output/report/report_writer.h"

namespace segd {

// Wraps `sink` (nullptr stays nullptr) so that its bytes are written, in the
// same order, by a thread of its own through two buffers of `bufferBytes`.
// A failed write shows at a later Write (which then returns false) and at
// Close at the latest; nothing is written after it. Where the standard
// library has no threads (a mingw built for the win32 thread model), `sink` is
// returned as it is.
std::unique_ptr<ByteSink> WithWriterThread(std::unique_ptr<ByteSink> sink, std::size_t bufferBytes = 1 << 18);

}  // namespace segd

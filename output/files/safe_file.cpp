#include "output/files/safe_file.h"

namespace segd::output {

bool SafeFile::Commit() {
  if (!sink_) return false;
  const bool ok = sink_->Commit();
  if (!ok) reason_ = sink_->FailureReason();
  sink_.reset();
  return ok;
}

}  // namespace segd::output

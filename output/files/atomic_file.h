#pragma once
// A file written whole or not at all: the bytes go to a new temporary file
// in the target's folder, and only a successful Commit moves it over the
// target's name. Any failure, or a sink dropped without Commit, removes the
// temporary file, so an earlier file of that name stays as it was. A
// symbolic link at the target's name is replaced, never followed; a device
// or pipe there (or a link to one: /dev/null, /dev/stdout) is written in
// place, since nothing may be moved over it.
#include <memory>
#include <string>

#include "output/report/report_writer.h"

namespace segd {

class AtomicFileSink : public ByteSink {
 public:
  // Closes the file and moves it over the target; false
  // (temporary file removed) when any write or this step failed.
  virtual bool Commit() = 0;
  bool Close() override { return Commit(); }
  // The system's message for the last failure; empty when none.
  virtual const std::string& FailureReason() const = 0;
  std::string WhyFailed() const override { return FailureReason(); }
};

// A new temporary file beside `path`, created exclusively; nullptr with the
// system's message in `reason` when it cannot be created.
std::unique_ptr<AtomicFileSink> CreateAtomicFileSink(const std::string& path, std::string& reason);

// The folder part of `path` with its separator ("" for a bare name).
std::string FolderPrefix(const std::string& path);

// Temporary files still open are removed when the program is ended by
// SIGINT, SIGTERM or SIGHUP (a console's Ctrl-C, Ctrl-Break or close on
// Windows), then the program ends as the signal asks. Call once at start-up.
void RemoveTemporaryFilesOnTermination();

// The name of a new temporary file beside `path`, varied by `attempt` and
// the process number.
std::string TemporaryName(const std::string& path, unsigned attempt, unsigned long process);

// The system's message for an error number (errno).
std::string SystemMessage(int error);

}  // namespace segd

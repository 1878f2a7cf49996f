// libFuzzer's entry point for one target, chosen when the program is built
// (SEGD_FUZZ_TARGET is a segd::fuzz::Target). A broken rule stops the fuzzer
// like a crash, with the rule on standard error and the input saved.
#include <cstdio>
#include <cstdlib>

#include "fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string broken = segd::fuzz::Check(SEGD_FUZZ_TARGET, segd::fuzz::Input(data, size));
  if (!broken.empty()) {
    std::fprintf(stderr, "fuzz_%s: %s\n", segd::fuzz::TargetName(SEGD_FUZZ_TARGET).data(), broken.c_str());
    std::abort();
  }
  return 0;
}

#pragma once
// Seed inputs of each fuzz target, made with the record writer: small SN388
// records and their variants (other lengths, other codes, other makes) behind
// the run settings of the decode run, their header blocks for the header
// decoders, their first traces for the trace walk, and the examples of the
// conversions. The fuzz script writes them as the starting corpus; the tests
// replay them.
#include <cstdint>
#include <vector>

#include "fuzz/harness.h"

namespace segd::fuzz {

std::vector<std::vector<std::uint8_t>> Seeds(Target target);

}  // namespace segd::fuzz

// The makes the decoder knows, and the one lookup that finds a record's.
#include "scan/makes/makes.h"

namespace segd::generic {

namespace {

// In order of trial: the first that matches is the record's make.
constexpr const MakeDescriptor* kMakes[] = {&kSn388Make, &kSercelMake, &kSmartSoloMake, &kFairfield16Make,
                                            &kFairfieldZSystemMake};

}  // namespace

const MakeDescriptor* FindMake(const RecordShape& shape) {
  for (const MakeDescriptor* make : kMakes) {
    if (make->matches(shape)) return make;
  }
  return nullptr;
}

}  // namespace segd::generic

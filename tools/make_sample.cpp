// Writes the project's sample SN388 shot record to the path given.
#include <cstdio>

#include "tools/record_writer.h"
#include "tools/sample_shot.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_sample OUTPUT\n", stderr);
    return 2;
  }
  if (!segd::writer::WriteRecordFile(segd::writer::SampleShot(), argv[1])) {
    std::fprintf(stderr, "make_sample: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

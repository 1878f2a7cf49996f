// Writes the project's sample SN388 shot record to the path given.
#include <cstdio>
#include <cstring>

#include "tools/record_writer.h"
#include "tools/sample_shot.h"

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs("usage: make_sample OUTPUT\nWrites the sample SN388 shot record to OUTPUT.\n", stdout);
    return 0;
  }
  // A name that starts with "-" is an option this program does not know,
  // not a record to write.
  if (argc != 2 || argv[1][0] == '-') {
    std::fputs("usage: make_sample OUTPUT\n", stderr);
    return 2;
  }
  if (!segd::writer::WriteRecordFile(segd::writer::SampleShot(), argv[1])) {
    std::fprintf(stderr, "make_sample: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

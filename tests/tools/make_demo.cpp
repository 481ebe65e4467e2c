// make_demo DIR: fills DIR with the demo application directory (QAV.INI, a
// demo catalog, report formats) that the run script starts the program on.
#include <cstdio>

#include "support/demo_catalog.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo DIR\n");
    return 2;
  }
  if (!kelvarin::test_support::MakeDemoAppDir(argv[1])) {
    std::fprintf(stderr, "make_demo: cannot write the demo into %s\n", argv[1]);
    return 1;
  }
  return 0;
}

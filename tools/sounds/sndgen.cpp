// sndgen <res-dir>: synthesises every sound and tune of the game into res-dir.
#include <cstdio>

#include "sounds.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sndgen <res-dir>\n");
    return 2;
  }
  const int failures = sounds::WriteAll(argv[1], true);
  return failures == 0 ? 0 : 1;
}

// sndgen <res-dir>: synthesises every sound and tune of the game into res-dir.
//
// The files it writes are committed, so the game builds without running it;
// after changing a sound, build the `sndgen` target, run it on res/ and
// commit the changed files. Every run writes the same bytes.
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

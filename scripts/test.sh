#!/usr/bin/env bash
# Installs what the build needs, builds everything with warnings as errors and
# runs the whole suite headless (SDL's dummy video and audio drivers); builds
# the release configuration of the whole tree too, as the optimiser warns about
# other things; then runs the game's long random-input and whole-game runs and
# the start-up again in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, each of those suites also as one whole process.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs="$(nproc)"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOVA_WERROR=ON
cmake --build build-test -j"$jobs"
(cd build-test && ctest --output-on-failure -j"$jobs" --timeout 300)

# The release configuration only has to compile (its tests would repeat the
# run above): the optimiser at -O3 warns where -O2 does not.
cmake -S . -B build-test-release -DCMAKE_BUILD_TYPE=Release -DNOVA_WERROR=ON
cmake --build build-test-release -j"$jobs"

# The sanitizer pass: the game's own code under the checkers (the test
# list is in tests/CMakeLists.txt).
cmake -S . -B build-test-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOVA_SANITIZE=ON -DNOVA_WERROR=ON \
  -DNOVA_TOOLS=OFF -DNOVA_BENCH=OFF
cmake --build build-test-asan -j"$jobs"
(cd build-test-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
   UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
   ctest --output-on-failure -j"$jobs" --timeout 600)

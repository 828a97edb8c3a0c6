#!/usr/bin/env bash
# Installs what the game needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DNOVA_TESTS=OFF -DNOVA_TOOLS=OFF -DNOVA_BENCH=OFF
cmake --build build -j"$(nproc)" --target novaquad etna
cd build && exec ./novaquad

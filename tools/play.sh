#!/usr/bin/env bash
# play.sh -- installs what is missing, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target vodod-pilko
exec build/game/vodod-pilko

#!/bin/sh
# Installs what is missing, configures and builds QUIMO into build/.
# Extra arguments go to cmake's configure step.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build

#!/bin/sh
# Installs what is missing, builds, and starts the timer.
set -e
cd "$(dirname "$0")/.."
sh scripts/build.sh
exec build/program/quimo "$@"

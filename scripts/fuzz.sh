#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time.
set -euo pipefail
if [ ! -d fuzz ] || [ -z "$(ls fuzz/*.cpp 2>/dev/null)" ]; then
  echo "no fuzz targets"
  exit 0
fi

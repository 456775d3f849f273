#!/usr/bin/env bash
# Builds Quillon and converts the bundled sample workbook into out/sample/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
rm -rf out/sample
./build/quillon examples/sample.xls out/sample/sample.htm
echo "Pages written to $(pwd)/out/sample/:"
ls out/sample

#!/usr/bin/env bash
# Sets up, builds, and runs tesk on the shipped aspirin example in
# build/example-run/ (the example folder itself stays clean).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
rm -rf build/example-run
cp -r examples/aspirin build/example-run
cp examples/example.db build/example-run/
cd build/example-run
../tesk
echo
echo "Output files are in $(pwd):"
ls

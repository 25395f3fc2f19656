#!/usr/bin/env bash
# Runs tesk on the shipped aspirin example (whose tesk.inp asks for REPORT)
# in WORK and checks its tesk.html in headless Chromium (page_check.mjs).
# TESK_UPDATE_SCREENSHOT=1 copies the screenshot to doc/report_page.png.
#   page_test.sh TESK SOURCE_DIR WORK
set -euo pipefail
tesk=$1 src=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
cp "$src"/examples/aspirin/* "$src"/examples/example.db "$work"/
cd "$work"
"$tesk" > console.txt
node "$src/tests/report/page_check.mjs" tesk.html report_page.png
if [ "${TESK_UPDATE_SCREENSHOT:-}" = 1 ]; then
  cp report_page.png "$src/doc/report_page.png"
  echo "screenshot copied to doc/report_page.png"
fi

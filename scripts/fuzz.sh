#!/usr/bin/env bash
# Builds the libFuzzer harnesses in build-fuzz/ and runs one of them, or all
# in turn, for the given number of seconds each:
#   bash scripts/fuzz.sh [control_file|shelx|databank|all] [seconds]
# Seed corpora come from the project's test data; new inputs are kept in
# build-fuzz/corpus/<harness>/, crashes in build-fuzz/findings/<harness>/.
# A finding that is fixed goes into tests/fuzz_regressions/<harness>/, which
# the normal test suite replays.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
harness=${1:-all}
seconds=${2:-60}
bash scripts/setup_fuzz.sh >/dev/null
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESK_BUILD_FUZZ=ON -DTESK_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2 --target control_file_fuzz shelx_fuzz databank_fuzz

seed() {
  local name=$1 dir=build-fuzz/seeds/$1
  rm -rf "$dir" && mkdir -p "$dir"
  case $name in
    control_file) find tests/runs tests/malformed examples -name 'tesk.inp' -o -name '*.inp' |
                    grep -v expected | while read -r f; do cp "$f" "$dir/$(echo "$f" | tr / _)"; done ;;
    shelx) for f in tests/malformed/*.ins examples/aspirin/aspirin.ins; do
             cp "$f" "$dir/$(basename "$f")"; done
           find tests/data/structures -name '*.ins' -o -name '*.res' | while read -r f; do
             [ "$(stat -c %s "$f")" -lt 20000 ] && cp "$f" "$dir/$(basename "$f")"; done ;;
    databank) cp examples/example.db tests/malformed/*.db "$dir/" ;;
  esac
  [ -d "tests/fuzz_regressions/$name" ] && cp tests/fuzz_regressions/"$name"/* "$dir/" 2>/dev/null || true
}

run_one() {
  local name=$1
  seed "$name"
  mkdir -p "build-fuzz/corpus/$name" "build-fuzz/findings/$name" "build-fuzz/work/$name"
  # The harnesses write side files (complete.ang, reduced.ang) into their folder.
  (cd "build-fuzz/work/$name" &&
    ASAN_OPTIONS=detect_leaks=1 "$root/build-fuzz/fuzz/${name}_fuzz" \
      -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$root/build-fuzz/findings/$name/" \
      "$root/build-fuzz/corpus/$name" "$root/build-fuzz/seeds/$name" 2>&1 |
      tee "$root/build-fuzz/$name.log" | grep -E 'INITED|DONE|stat::|ERROR|SUMMARY' || true)
}

if [ "$harness" = all ]; then
  for h in control_file shelx databank; do run_one "$h"; done
else
  run_one "$harness"
fi

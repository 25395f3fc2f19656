#!/usr/bin/env bash
# Builds the libFuzzer harnesses in build-fuzz/ and runs one of them, or all
# in turn, for the given number of seconds each:
#   bash scripts/fuzz.sh [control_file|shelx|databank|cif|kq|cartesian|all] [seconds]
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
harnesses=(control_file shelx databank cif kq cartesian)
cmake --build build-fuzz -j2 --target "${harnesses[@]/%/_fuzz}"

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
    cif) for f in tests/data/structures/cif/*.cif tests/malformed/*.cif; do
           [ -f "$f" ] && [ "$(stat -c %s "$f")" -lt 16000 ] && cp "$f" "$dir/$(basename "$f")"; done ;;
    # The master file (its CELL, LATT and SYMM lines), a line %%%%, the parameter file.
    kq) for c in tests/runs/*/; do
          grep -qi '^FORMAT \*kq' "$c/tesk.inp" 2>/dev/null || continue
          read -r _ mas par _ < <(grep -i '^INPUT' "$c/tesk.inp")
          { grep -E '^(CELL|LATT|SYMM)' "$c/$mas"; echo '%%%%'; cat "$c/$par"; } >"$dir/$(basename "$c").kq"
        done ;;
    # First byte: 0 for a PLATON list, 1 for an AIM2TAB table.
    cartesian) for c in tests/runs/*/; do
                 f=$(grep -i '^INPUT' "$c/tesk.inp" 2>/dev/null | awk '{print $2}')
                 if grep -qi '^FORMAT \*platon' "$c/tesk.inp" 2>/dev/null; then
                   { printf '0'; cat "$c/$f"; } >"$dir/$(basename "$c")"
                 elif grep -qi '^FORMAT \*aim2tab' "$c/tesk.inp" 2>/dev/null; then
                   { printf '1'; cat "$c/$f"; } >"$dir/$(basename "$c")"
                 fi
               done ;;
  esac
  [ -d "tests/fuzz_regressions/$name" ] && cp tests/fuzz_regressions/"$name"/* "$dir/" 2>/dev/null || true
}

# Room for a whole seed: the KQ pair and the CIF files are longer.
max_len() { case $1 in cif|kq) echo 16384 ;; *) echo 8192 ;; esac; }

run_one() {
  local name=$1
  seed "$name"
  mkdir -p "build-fuzz/corpus/$name" "build-fuzz/findings/$name" "build-fuzz/work/$name"
  # The harnesses write side files (complete.ang, reduced.ang) into their folder.
  (cd "build-fuzz/work/$name" &&
    ASAN_OPTIONS=detect_leaks=1 "$root/build-fuzz/fuzz/${name}_fuzz" \
      -max_total_time="$seconds" -max_len="$(max_len "$name")" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$root/build-fuzz/findings/$name/" \
      "$root/build-fuzz/corpus/$name" "$root/build-fuzz/seeds/$name" 2>&1 |
      tee "$root/build-fuzz/$name.log" | grep -E 'INITED|DONE|stat::|ERROR|SUMMARY' || true)
}

if [ "$harness" = all ]; then
  for h in "${harnesses[@]}"; do run_one "$h"; done
else
  run_one "$harness"
fi

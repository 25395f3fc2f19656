#!/usr/bin/env bash
# Installs what the build needs on a fresh Debian machine (run as root).
set -euo pipefail
cd "$(dirname "$0")/.."
need=()
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v g++ >/dev/null 2>&1 || need+=(g++)
[ -e /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -e /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
# gemmi reads CIF files (header-only; its CIF parser is built on PEGTL).
[ -e /usr/include/gemmi/cif.hpp ] || need+=(gemmi-dev)
[ -e /usr/include/tao/pegtl.hpp ] || need+=(tao-pegtl-dev)
[ -e /usr/include/stb/stb_sprintf.h ] || need+=(libstb-dev)
# The run report: JSON writer, SHA-256 of the input files (libcrypto), and
# for its browser test a headless Chromium and npm for the page's viewer.
[ -e /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
[ -e /usr/include/openssl/evp.h ] || need+=(libssl-dev)
command -v chromium >/dev/null 2>&1 || need+=(chromium)
command -v npm >/dev/null 2>&1 || need+=(npm)
# tcmalloc for the executables: large runs make millions of small allocations.
[ -e /usr/lib/x86_64-linux-gnu/libtcmalloc_minimal.so ] || ls /usr/lib/*/libtcmalloc_minimal.so >/dev/null 2>&1 ||
  need+=(libgoogle-perftools-dev)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y "${need[@]}"
fi
# 3Dmol.js (BSD-3), which tesk.html carries inline, and playwright-core,
# which drives Chromium in the browser test: the versions in
# third_party/package.json, into third_party/node_modules (not in git).
if [ ! -e third_party/node_modules/.package-lock.json ] ||
   [ third_party/package.json -nt third_party/node_modules/.package-lock.json ]; then
  npm ci --prefix third_party --no-audit --no-fund
fi

#!/usr/bin/env bash
# Installs what the build needs on a fresh Debian machine (run as root).
set -euo pipefail
need=()
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v g++ >/dev/null 2>&1 || need+=(g++)
[ -e /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -e /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
# gemmi reads CIF files (header-only; its CIF parser is built on PEGTL).
[ -e /usr/include/gemmi/cif.hpp ] || need+=(gemmi-dev)
[ -e /usr/include/tao/pegtl.hpp ] || need+=(tao-pegtl-dev)
[ -e /usr/include/stb/stb_sprintf.h ] || need+=(libstb-dev)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y "${need[@]}"
fi

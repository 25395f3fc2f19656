#!/usr/bin/env bash
# Installs what the fuzz harnesses need on Debian (run as root): clang and
# its runtime libraries, libFuzzer among them, and libc++ (the harnesses are
# built against it). The normal build needs none of it.
set -euo pipefail
bash "$(dirname "$0")/setup.sh"
need=()
command -v clang++ >/dev/null 2>&1 || need+=(clang)
compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null ||
  need+=(libclang-rt-dev)
compgen -G "/usr/lib/llvm-*/include/c++/v1/vector" >/dev/null || need+=(libc++-dev libc++abi-dev)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y "${need[@]}"
fi

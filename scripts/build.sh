#!/usr/bin/env bash
# Configures and builds one of the builds: native (sanitizers), win (MinGW-w64, with the tests),
# release (the shipped build/release/sonarwick.exe only) or fuzz (clang).
# Usage: scripts/build.sh native|win|release|fuzz [cmake --build arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=$1; shift
build="$root/build/$kind"
targets=()

case "$kind" in
  native) configure=(-DCMAKE_BUILD_TYPE=Debug) ;;
  win)    configure=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  release) configure=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release -DSONARWICK_RELEASE=ON)
           targets=(--target sonarwick) ;;
  fuzz)   configure=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSONARWICK_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  *) echo "usage: $0 native|win|release|fuzz" >&2; exit 2 ;;
esac

# A compiler cache, where the machine has one, makes rebuilds in several work trees cheap.
if command -v ccache >/dev/null 2>&1; then
  configure+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$root")}"
fi

# Configure every time: folders that appeared since the last run are only picked up then.
if [ -f "$build/CMakeCache.txt" ]; then
  cmake "$build" >/dev/null
else
  cmake -S "$root" -B "$build" "${configure[@]}" >/dev/null
fi
cmake --build "$build" -j "$(nproc)" "${targets[@]}" "$@"

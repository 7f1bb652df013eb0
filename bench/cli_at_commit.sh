#!/usr/bin/env bash
# Builds iitcalc-cli as it was at a commit, in a folder of its own, and
# prints the program's path; an earlier build there is reused.
#   bench/cli_at_commit.sh COMMIT DIR [windows]
# With "windows" the program is cross-built for Windows (iitcalc-cli.exe).
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$1 dir=$2 target=${3:-linux}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
if [[ ! -d $dir/src ]]; then
  mkdir -p "$dir/src"
  git archive "$commit" | tar -x -C "$dir/src"
fi
options=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DIITCALC_TESTS=OFF -DIITCALC_GUI=OFF)
[[ $target == windows ]] && options+=(-DCMAKE_TOOLCHAIN_FILE="$dir/src/cmake/mingw-w64-x86_64.cmake")
cmake -S "$dir/src" -B "$dir/build-$target" "${options[@]}" >/dev/null
cmake --build "$dir/build-$target" --target iitcalc-cli -j2 >/dev/null
program=$dir/build-$target/cli/iitcalc-cli
[[ $target == windows ]] && program+=.exe
echo "$program"

#!/usr/bin/env bash
# Sets up, builds and starts Houndly on the built-in demo camera.
# Extra arguments are passed to the program (for example --camera /dev/video0).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/release" -j "$(nproc)" --target houndly houndly-ftp
if [[ $# -eq 0 ]]; then set -- --camera demo; fi
exec "$root/build/release/app/houndly" "$@"

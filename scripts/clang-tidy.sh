#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) on every source file of the tree with the build's
# compile commands; fails on any finding. Needs a configured build/ (scripts/build.sh).
# Arguments: files or folders to check instead of the whole tree.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
[[ -f "$BUILD_DIR/compile_commands.json" ]] || {
    echo "clang-tidy: no $BUILD_DIR/compile_commands.json; run scripts/build.sh first" >&2
    exit 2
}
if (($#)); then
    mapfile -t files < <(git ls-files -- "$@" | grep -E '\.cpp$')
else
    mapfile -t files < <(git ls-files '*.cpp')
fi
# Only files the build compiles (platform variants of other systems are not in it), as
# anchored patterns: run-clang-tidy takes regular expressions.
mapfile -t files < <(python3 - "$BUILD_DIR/compile_commands.json" "${files[@]}" <<'PY'
import json, os, re, sys
built = {os.path.realpath(e["file"]) for e in json.load(open(sys.argv[1]))}
for f in sys.argv[2:]:
    path = os.path.realpath(f)
    if path in built:
        print("^" + re.escape(path) + "$")
PY
)
((${#files[@]})) || exit 0
run-clang-tidy -quiet -p "$BUILD_DIR" -j"$(nproc)" -extra-arg=-Wno-unknown-warning-option "${files[@]}" >"$BUILD_DIR/clang-tidy.log" 2>&1 || {
    grep -E 'error:|warning:' "$BUILD_DIR/clang-tidy.log" | sort -u >&2
    echo "clang-tidy: findings above (full log: $BUILD_DIR/clang-tidy.log)" >&2
    exit 1
}
echo "clang-tidy: ${#files[@]} files clean"

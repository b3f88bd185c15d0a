#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) on every source file of the tree that the build compiles,
# with the build's compile commands; fails on any finding. Needs a configured build/
# (scripts/build.sh). Arguments: files or folders to check instead of the whole tree.
# Clean results are kept in ${XDG_CACHE_HOME:-~/.cache}/veldra/clang-tidy/, keyed by the
# tools, the configuration, the compile command and the preprocessed text, so only
# sources that changed, or include a header that changed, are checked again
# (scripts/clang_tidy_cached.py). JOBS sets the parallelism (default: every core).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
[[ -f "$BUILD_DIR/compile_commands.json" ]] || {
    echo "clang-tidy: no $BUILD_DIR/compile_commands.json; run scripts/build.sh first" >&2
    exit 2
}
mapfile -t files < <(git ls-files -- "$@" | grep -E '\.cpp$')
((${#files[@]})) || exit 0
LOG="$BUILD_DIR/clang-tidy.log"
python3 scripts/clang_tidy_cached.py "$BUILD_DIR" "$LOG" "${files[@]}" || {
    grep -E 'error:|warning:' "$LOG" | sort -u >&2
    echo "clang-tidy: findings above (full log: $LOG)" >&2
    exit 1
}

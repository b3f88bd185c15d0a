#!/usr/bin/env bash
# Applies scripts/renames.txt to every tracked source and document, then formats the
# sources it changed (a longer name may move a line break). Run once, on a clean tree.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.md' '*.cmake' | grep -v '^scripts/renames.txt$')
sed -E -i -f <(grep -v '^#' scripts/renames.txt) "${files[@]}"
mapfile -t changed < <(git diff --name-only -- '*.cpp' '*.h')
((${#changed[@]})) && clang-format -i "${changed[@]}"
echo "renamed in $(git diff --name-only | wc -l) files"

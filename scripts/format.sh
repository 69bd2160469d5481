#!/usr/bin/env bash
# Applies .clang-format to every C++ source of the repository;
# with --check, only lists the files that differ and fails if any does.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  clang-format --dry-run --Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi

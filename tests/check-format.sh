#!/usr/bin/env bash
# Fails, listing the places, when a C++ file of the project is not formatted as .clang-format
# says. Usage: check-format.sh CLANG_FORMAT SOURCE_DIR
set -euo pipefail
cd "$2"
find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
    xargs -0 "$1" --dry-run --Werror

#!/usr/bin/env bash
# Fails when clang-format would change any tracked C++ file.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.h' '*.cpp' | xargs -r clang-format --dry-run --Werror
echo "check-format: every C++ file is formatted."

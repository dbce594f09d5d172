#!/usr/bin/env bash
# Installs the build in BUILD_DIR into a temporary prefix, then configures,
# builds and runs the consumer project in tests/consumer against it.
set -euo pipefail
build_dir=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

case $build_dir in
  /*) ;;
  *) build_dir=$root/$build_dir ;;
esac

cmake --install "$build_dir" --prefix "$work/prefix" > "$work/install.log"
for library in string_converter logging_manager settings_manager core pcl benchmark_utility thread_pool tarvio; do
  if ! ls "$work/prefix/lib/libostrel_$library.so.14" > /dev/null 2>&1; then
    echo "check-install: libostrel_$library.so.14 was not installed" >&2
    exit 1
  fi
done
cmake -S "$root/tests/consumer" -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" > "$work/configure.log"
cmake --build "$work/consumer"
"$work/consumer/ostrel_consumer"

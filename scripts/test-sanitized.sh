#!/bin/sh
# Builds the tests of the widget-free core with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, in build-sanitized/, shared with fuzz/run) and runs them; any finding fails a test.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SANITIZED_BUILD_DIR:-$root/build-sanitized}
"$root/scripts/deps.sh" sanitizers
"$root/scripts/configure-sanitized.sh" "$build"
cmake --build "$build" --target kvor_core_tests --parallel "$(nproc)"
cd "$build"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest -L core --output-on-failure --parallel "$(nproc)" --timeout 600

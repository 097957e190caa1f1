#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Zambrel, then:
#   run       starts the program on its default ledger;
#   test      runs the whole test suite headless, then the sanitized suite
#             and the fuzzers (what CI runs);
#   sanitize  builds the tests with AddressSanitizer and UndefinedBehavior-
#             Sanitizer in build-sanitize/ and runs the whole suite there;
#   fuzz      builds the fuzz targets with clang in build-fuzz/ and runs each
#             for ZAMBREL_FUZZ_SECONDS (60) on the corpus in tests/fuzz_corpus.
# Any failure, sanitizer finding or fuzzer crash ends the script non-zero.
set -euo pipefail

mode=${1:-run}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ZAMBREL_BUILD_DIR:-$root/build}
sanitize_build=${ZAMBREL_SANITIZE_BUILD_DIR:-$root/build-sanitize}
fuzz_build=${ZAMBREL_FUZZ_BUILD_DIR:-$root/build-fuzz}
fuzz_seconds=${ZAMBREL_FUZZ_SECONDS:-60}
fuzzers=(fuzz_calc store_connection_string_fuzz fuzz_skin_reader import_bill_fuzz)
jobs=$(nproc)

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-qpa-plugins
  libsqlcipher-dev libssl-dev libfontconfig-dev
  libquazip1-qt6-dev
  libgtest-dev libbenchmark-dev
  fonts-noto-cjk
  poppler-utils
  xvfb xauth
  desktop-file-utils appstream groff-base
  file
)
# The fuzz targets need clang and its libFuzzer runtime.
case "$mode" in
  test | fuzz) packages+=(clang libclang-rt-14-dev) ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# A compiler cache the machine already has is used; none is installed here.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

build_main() {
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAMBREL_WERROR=ON "${launcher[@]}"
  cmake --build "$build" --parallel "$jobs"
}

run_suite() {
  (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$jobs" --timeout "$2")
}

sanitized_suite() {
  # Optimised a little and with line tables only: the suite runs two to three
  # times slower than unsanitized, and compiles faster than a debug build.
  # No benchmarks: speed is measured elsewhere.
  cmake -S "$root" -B "$sanitize_build" -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g1" \
    -DZAMBREL_SANITIZE=ON -DZAMBREL_BENCH=OFF -DZAMBREL_WERROR=ON "${launcher[@]}"
  cmake --build "$sanitize_build" --parallel "$jobs"
  export ASAN_OPTIONS=detect_leaks=1
  export LSAN_OPTIONS=suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  run_suite "$sanitize_build" 900
}

# Runs one fuzz target on a scratch copy of its corpus; a crash leaves its
# reproducer in $fuzz_build/findings (add it to tests/fuzz_corpus/<target>
# with the fix). Prints the target's executions.
run_fuzzer() {
  local target=$1 work=$fuzz_build/corpus/$1 log=$fuzz_build/logs/$1.log
  mkdir -p "$work" "$fuzz_build/findings" "$fuzz_build/logs"
  if ! QT_QPA_PLATFORM=offscreen "$fuzz_build/bin/$target" -max_total_time="$fuzz_seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$fuzz_build/findings/$target-" \
    "$work" "$root/tests/fuzz_corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: $target FAILED; reproducer in $fuzz_build/findings" >&2
    return 1
  fi
  echo "fuzz: $target $(grep -o 'number_of_executed_units: [0-9]*' "$log" | tail -1)"
}

fuzz() {
  CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz_build" -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g1" \
    -DZAMBREL_FUZZ=ON -DZAMBREL_BENCH=OFF "${launcher[@]}"
  cmake --build "$fuzz_build" --parallel "$jobs" --target "${fuzzers[@]}"
  # As many at a time as there are cores, each for its own bounded time.
  local pids=() failed=0
  for target in "${fuzzers[@]}"; do
    run_fuzzer "$target" &
    pids+=($!)
    if ((${#pids[@]} >= jobs)); then
      wait "${pids[0]}" || failed=1
      pids=("${pids[@]:1}")
    fi
  done
  for pid in "${pids[@]}"; do
    wait "$pid" || failed=1
  done
  return "$failed"
}

case "$mode" in
  run)
    build_main
    exec "$build/bin/zambrel"
    ;;
  test)
    build_main
    run_suite "$build" 300
    sanitized_suite
    fuzz
    ;;
  sanitize)
    sanitized_suite
    ;;
  fuzz)
    fuzz
    ;;
  *)
    echo "usage: $0 [run|test|sanitize|fuzz]" >&2
    exit 2
    ;;
esac

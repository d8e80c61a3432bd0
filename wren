#!/usr/bin/env bash
# The one entry point of the project: installs what a fresh Debian machine
# lacks, configures, builds and runs.
#
#   ./wren run                 the main job
#   ./wren test [--asan|--tsan] [ctest args...]
#   ./wren bench               the benchmarks
#   ./wren convert INPUT [OUTPUT]  objects files between XML and binary
#   ./wren dump FILE           prints the element tree of a data file
#   ./wren generate [options] OUT  writes a sample world folder
#   ./wren view WORLD [options]    the world viewer (headless unless --render)
#   ./wren edit WORLD [--script FILE] [--xml|--binary] [--window]  the editor
#   ./wren fuzz [SECONDS]      each fuzz target for SECONDS (default 60)
#   ./wren build [release|test|asan|tsan]
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="$ROOT/build"
JOBS="${WREN_JOBS:-$(nproc)}"
# Paths relative to the checkout, so that every clone shares the compiler cache.
export CCACHE_BASEDIR="$ROOT"

PACKAGES=(cmake g++ make pkg-config ccache
  libogre-1.12-dev libtinyxml-dev libois-dev libboost-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  libopenal-dev libsndfile1-dev libimgui-dev
  xvfb xauth libgl1-mesa-dri)

ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "wren: installing ${missing[*]}" >&2
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# configure_and_build <folder> <build type> [cmake options...]
configure_and_build() {
  local dir="$1" type="$2"; shift 2
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@" >/dev/null
  else
    cmake "$dir" "$@" >/dev/null
  fi
  # WREN_TARGETS narrows the build to some targets (CI's thread-sanitizer run).
  local targets=()
  for t in ${WREN_TARGETS:-}; do targets+=(--target "$t"); done
  cmake --build "$dir" -j "$JOBS" "${targets[@]}"
}

release_build() {
  ensure_packages "${PACKAGES[@]}"
  configure_and_build "$BUILD/release" Release -DWREN_BUILD_TESTS=OFF
}

# Runs a command with a display: the one set, or a private Xvfb.
with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  fi
}

run_tests() {
  local variant="test" options=()
  case "${1:-}" in
    --asan) variant="asan"; options=(-DWREN_SANITIZE=ON); shift ;;
    --tsan) variant="tsan"; options=(-DWREN_TSAN=ON); shift ;;
  esac
  ensure_packages "${PACKAGES[@]}"
  # The plain test build has the benchmarks too, for their smoke runs.
  local bench=ON
  [ "$variant" != "test" ] && bench=OFF
  configure_and_build "$BUILD/$variant" Debug -DWREN_BUILD_BENCH="$bench" "${options[@]}"
  # alloc_dealloc_mismatch is off: Debian OGRE's PNG codec hands out malloc'd
  # buffers that its MemoryDataStream frees with delete[].
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1:alloc_dealloc_mismatch=0}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
  # OpenAL Soft is not instrumented; tests/tsan.supp says why its reports go.
  export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:suppressions=$ROOT/tests/tsan.supp}"
  (cd "$BUILD/$variant" && with_display ctest --output-on-failure -j "$JOBS" "$@")
}

cmd="${1:-help}"
[ $# -gt 0 ] && shift
case "$cmd" in
  run)
    # The main job: a sample world, generated into the build folder when it
    # is missing or older than the generator, flown over by the viewer
    # headless (summary table, map picture, JSON), then drawn for a few
    # frames for a screenshot. Extra arguments go to the headless run.
    release_build
    out="$BUILD/sample"
    world="$out/worlds/Sample"
    generator="$BUILD/release/tools/wren-generate"
    viewer="$BUILD/release/tools/wren-view"
    if [ ! -f "$world/Sample.World" ] || [ "$generator" -nt "$world/Sample.World" ]; then
      "$generator" --cells 8 --objects-per-cell 300 --seed 1 --force "$world"
    fi
    "$viewer" "$world" --map "$out/map.png" --json "$out/summary.json" --log "$out/wren-view.log" "$@"
    echo "wren: map picture $out/map.png, figures $out/summary.json"
    if with_display "$viewer" "$world" --render --frames 300 --speed 10 --height 8 --lod-per-step 5 --quiet \
        --screenshot "$out/screenshot.png" --log "$out/wren-view-render.log" >/dev/null; then
      echo "wren: screenshot $out/screenshot.png"
    else
      echo "wren: no screenshot (drawing failed; see $out/wren-view-render.log)" >&2
    fi
    ;;
  test)
    run_tests "$@"
    ;;
  bench)
    release_build
    mkdir -p "$BUILD/release/bench-results"
    "$BUILD/release/bench/wren-bench" --results-dir="$BUILD/release/bench-results" "$@"
    # The drawn benchmark needs a display: the one set, or a private Xvfb.
    with_display "$BUILD/release/bench/render/wren-bench-render" \
      --results-dir="$BUILD/release/bench-results" "$@"
    cat "$BUILD/release/bench-results/results.txt" "$BUILD/release/bench-results/render-results.txt"
    ;;
  convert)
    release_build
    exec "$BUILD/release/tools/wren-convert" "$@"
    ;;
  dump)
    release_build
    exec "$BUILD/release/tools/wren-dump" "$@"
    ;;
  generate)
    release_build
    exec "$BUILD/release/tools/wren-generate" "$@"
    ;;
  view)
    release_build
    case " $* " in
      *" --render "*) with_display "$BUILD/release/tools/wren-view" "$@" ;;
      *) exec "$BUILD/release/tools/wren-view" "$@" ;;
    esac
    ;;
  edit)
    release_build
    case " $* " in
      *" --window "*) with_display "$BUILD/release/tools/wren-edit" "$@" ;;
      *) exec "$BUILD/release/tools/wren-edit" "$@" ;;
    esac
    ;;
  fuzz)
    # libFuzzer needs clang; the fuzz build has a folder of its own.
    ensure_packages "${PACKAGES[@]}" clang libclang-rt-14-dev
    seconds="${1:-60}"
    CC=clang CXX=clang++ configure_and_build "$BUILD/fuzz" RelWithDebInfo \
      -DWREN_BUILD_FUZZ=ON -DWREN_BUILD_TESTS=OFF -DWREN_BUILD_BENCH=OFF -DWREN_BUILD_TOOLS=OFF
    for target in "$BUILD"/fuzz/fuzz/fuzz-*; do
      [ -x "$target" ] || continue
      name="$(basename "$target")"
      corpus="$BUILD/fuzz/corpus/$name"
      mkdir -p "$corpus"
      echo "wren: fuzzing $name for ${seconds}s"
      "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$BUILD/fuzz/$name-" "$corpus" "$ROOT/fuzz/corpus/${name#fuzz-}"
    done
    ;;
  build)
    case "${1:-release}" in
      release) release_build ;;
      test|asan|tsan)
        ensure_packages "${PACKAGES[@]}"
        opts=(); [ "$1" = asan ] && opts=(-DWREN_SANITIZE=ON); [ "$1" = tsan ] && opts=(-DWREN_TSAN=ON)
        # The same options as `./wren test`, so neither reconfigures the other.
        bench=OFF; [ "$1" = test ] && bench=ON
        configure_and_build "$BUILD/$1" Debug -DWREN_BUILD_BENCH="$bench" "${opts[@]}" ;;
      *) echo "wren: unknown build '$1'" >&2; exit 2 ;;
    esac
    ;;
  help|-h|--help)
    sed -n '2,/^set /p' "$0" | grep '^#' | sed 's/^# \{0,1\}//'
    ;;
  *)
    echo "wren: unknown command '$cmd' (try ./wren help)" >&2
    exit 2
    ;;
esac

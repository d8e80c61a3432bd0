#!/usr/bin/env bash
# The one entry point of the project: installs what a fresh Debian machine
# lacks, configures, builds and runs. Builds print their progress (on stderr)
# only when something is rebuilt, or always with --verbose before the command.
#
#   ./wren [--verbose] COMMAND ...
#   ./wren run                 the main job
#   ./wren test [--asan|--tsan] [ctest args...]
#   ./wren bench               the benchmarks
#   ./wren convert INPUT [OUTPUT]  objects files between XML and binary
#   ./wren dump FILE           prints the element tree of a data file
#   ./wren generate [options] OUT  writes a sample world folder
#   ./wren view WORLD [options]    the world viewer (headless unless --render)
#   ./wren edit WORLD [--script FILE] [--xml|--binary] [--window]  the editor
#   ./wren import SCENE.scene OUT [--cell-size S] [--binary]  an OGRE scene as a world
#   ./wren export WORLD OUT.scene  a world as an OGRE scene
#   ./wren docs                the API reference, into build/docs/html
#   ./wren package [release|test]  Debian packages of a build, into build/packages
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
  doxygen graphviz
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
  $sudo apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
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
  if [ "$VERBOSE" = 1 ]; then
    cmake --build "$dir" -j "$JOBS" "${targets[@]}" >&2
  else
    # Only the lines of work done (compiling, linking, errors) reach the
    # terminal, on stderr: an up-to-date build is silent and a tool's own
    # output can be piped.
    cmake --build "$dir" -j "$JOBS" "${targets[@]}" 2>&1 |
      { grep --line-buffered -v -E '^\[ *[0-9]+%\] Built target |^g?make(\[[0-9]+\])?: (Entering|Leaving) directory|^Consolidate compiler generated dependencies' || true; } >&2
  fi
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

# --verbose (before the command): every line of the build; otherwise a build
# that has nothing to do prints nothing.
VERBOSE="${WREN_VERBOSE:-0}"
if [ "${1:-}" = "--verbose" ]; then
  VERBOSE=1
  shift
fi

# The reference of the libraries' headers; fails when a public class has no
# comment of its own.
build_docs() {
  local out="$BUILD/docs"
  mkdir -p "$out"
  (cd "$ROOT" && WREN_DOCS_OUT="$out" doxygen docs/Doxyfile >"$out/doxygen.log" 2>&1) || {
    cat "$out/doxygen.log" >&2
    return 1
  }
  if grep -E "warning: Compound .* is not documented" "$out/warnings.log" >&2; then
    echo "wren: the public classes above have no documentation comment" >&2
    return 1
  fi
  echo "wren: API reference $out/html/index.html"
}

# package <release|test>: the Debian packages of that build (runtime
# libraries, -dev, tools) into build/packages.
package() {
  local variant="$1"
  case "$variant" in
    release) release_build ;;
    test)
      # CI packages the tree its tests were built in, keeping its options.
      ensure_packages "${PACKAGES[@]}"
      configure_and_build "$BUILD/test" Debug ;;
    *) echo "wren: unknown build '$variant'" >&2; exit 2 ;;
  esac
  mkdir -p "$BUILD/packages"
  rm -f "$BUILD"/packages/*.deb
  (cd "$BUILD/$variant" && cpack -G DEB -B "$BUILD/packages" >"$BUILD/packages/cpack.log" 2>&1) || {
    cat "$BUILD/packages/cpack.log" >&2
    return 1
  }
  rm -rf "$BUILD/packages/_CPack_Packages"
  ls "$BUILD"/packages/*.deb
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
      mkdir -p "$out/worlds"
      "$generator" --cells 8 --objects-per-cell 300 --seed 1 --force "$world"
    fi
    "$viewer" "$world" --map "$out/map.png" --json "$out/summary.json" --log "$out/wren-view.log" "$@"
    echo "wren: map picture $out/map.png, figures $out/summary.json"
    if with_display "$viewer" "$world" --render --frames 300 --quiet \
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
  import)
    release_build
    exec "$BUILD/release/tools/wren-import" "$@"
    ;;
  export)
    release_build
    exec "$BUILD/release/tools/wren-export" "$@"
    ;;
  docs)
    ensure_packages doxygen graphviz
    build_docs
    ;;
  package)
    package "${1:-release}"
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

#!/bin/sh
# Builds the libFuzzer targets of tests/fuzz/ with clang (address and
# undefined-behaviour sanitizers) and runs each for a while.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS per target (default 150); TARGETs among: bmp pcx ppm xpm xpm_mem draw
# fontdesc ansi cfgstr page html timesync timeentry table sound options pdf import clipboard (default all). FUZZ_BUILD names the build directory
# (default build-fuzz), FUZZ_JOBS the build jobs (default 2). Seeds come from
# tests/fuzz/seeds/NAME (and the malformed samples for the readers); the
# growing corpus stays in $FUZZ_BUILD/corpus/NAME, crashes in
# $FUZZ_BUILD/crashes/. Not part of the normal build or test run.
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
secs=${1:-150}
[ $# -gt 0 ] && shift
targets=${*:-bmp pcx ppm xpm xpm_mem fontdesc ansi cfgstr draw page html timesync timeentry table sound options pdf import clipboard}
build=${FUZZ_BUILD:-$src/build-fuzz}
case $build in /*) ;; *) build=$src/$build ;; esac
jobs=${FUZZ_JOBS:-2}
flags="-g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined"

# The toolkit libraries, instrumented for coverage but without libFuzzer's main.
cmake -S "$src" -B "$build/lib" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="$flags -fsanitize=fuzzer-no-link" >/dev/null
cmake --build "$build/lib" --target zecore zegraphics zexbase zewindow zecontrols zemarkup quimoapp -j "$jobs"

libs="$build/lib/libquimoapp.a $build/lib/libzemarkup.a $build/lib/libzecontrols.a $build/lib/libzewindow.a $build/lib/libzegraphics.a $build/lib/libzexbase.a $build/lib/libzecore.a"
syslibs="$(pkg-config --libs x11 xrandr xext libcurl fontconfig freetype2) -ljpeg -lgif"
for opt in SDL2_mixer alsa; do
    pkg-config --exists $opt && syslibs="$syslibs $(pkg-config --libs $opt)"
done
inc="-I$src/toolkit/core -I$src/toolkit/graphics -I$src/toolkit/window -I$src/toolkit/window/platform -I$src/toolkit/controls -I$src/toolkit/markup -I$src/toolkit/xbase -I$src/app"

build_target() { # name source [defines]
    name=$1 file=$2
    shift 2
    out=$build/fuzz_$name
    clang++ -std=c++20 $flags -fsanitize=fuzzer $inc "$@" "$src/tests/fuzz/$file" \
        -Wl,--start-group $libs -Wl,--end-group $syslibs -lpthread -o "$out"
}

mkdir -p "$build/crashes"
for t in $targets; do
    case $t in
    bmp|pcx|ppm|xpm)
        up=$(echo $t | tr a-z A-Z)
        build_target $t fuzz_image.cpp -DZE_FUZZ_FORMAT=ZEIMG_$up
        seeds="$src/tests/fuzz/seeds/$t"
        mkdir -p "$build/corpus/$t"
        cp "$src"/tests/graphics/malformed/*."$t" "$build/corpus/$t/" ;;
    xpm_mem|fontdesc|ansi|cfgstr|draw|page|html|timesync|timeentry|table|sound|options|pdf|import|clipboard)
        build_target $t fuzz_$t.cpp
        seeds="$src/tests/fuzz/seeds/$t"
        mkdir -p "$build/corpus/$t" ;;
    *) echo "unknown target $t" >&2; exit 2 ;;
    esac
    echo "== fuzz_$t for ${secs}s"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    "$build/fuzz_$t" -max_total_time="$secs" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/crashes/$t-" \
        "$build/corpus/$t" "$seeds" 2>&1 | grep -E '^(#[0-9]+.*DONE|==|stat::number_of_executed_units|stat::peak_rss|SUMMARY|.*ERROR|.*runtime error)' || true
done
ls -l "$build/crashes"

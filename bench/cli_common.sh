# Sourced by bench/batch, bench/idle and bench/seek: builds clipwright-cli in
# the build folder given as the first argument (build/ by default), copies it
# with the catalogue into a scratch program folder, so that curconvert.log and
# settings.dat stay out of the build, and offers a few helpers.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
if ! out="$(cmake --build "$build" --target clipwright-cli catalogue 2>&1)"; then
    echo "$out" >&2
    exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/out"
cp "$build/bin/clipwright-cli" "$build/bin/ct.s3db" "$work/bin/"
cli="$work/bin/clipwright-cli"

now() { date +%s.%N; }

# make_clip PATH SECONDS SIZE RATE: a test picture with a tone.
make_clip() {
    ffmpeg -nostdin -v error -y -f lavfi -i "testsrc=size=$3:rate=$4" \
        -f lavfi -i sine=frequency=440 -t "$2" -c:v mpeg4 -q:v 4 -c:a libmp3lame "$1"
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

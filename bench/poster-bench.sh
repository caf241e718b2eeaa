#!/usr/bin/env bash
# Poster benchmark: plans, computes (GNU parallel over the machine's cores, one tile per job) and
# assembles a large 8-bit poster into one BigTIFF (--bigtiff: 2.4 GB of 8-bit pixels would still fit in a
# classic TIFF, which the assembly chooses by itself below 4 GB), then checks the file with
# libtiff's own tools. Prints the time of each step and the assembly's peak memory.
#
#   bench/poster-bench.sh [--cli PATH] [--size WxH] [--iter N] [--dir DIR] [--keep]
#
# The view is cheap on purpose (the whole set, few iterations): the figures are those of the
# planning, the file traffic and the assembly rather than of the kernels. Everything it writes goes
# into DIR (default: a new directory under ${TMPDIR:-/tmp}) and is deleted at the end unless --keep.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cli="$here/build/vorex-cli"
size=60000x40000
iter=64
dir=
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --cli) cli=$2; shift 2 ;;
    --size) size=$2; shift 2 ;;
    --iter) iter=$2; shift 2 ;;
    --dir) dir=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) echo "poster-bench: unknown option $1" >&2; exit 2 ;;
  esac
done
for tool in parallel tiffinfo /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "poster-bench: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
[ -x "$cli" ] || { echo "poster-bench: $cli is not built" >&2; exit 1; }
[ -n "$dir" ] || dir=$(mktemp -d "${TMPDIR:-/tmp}/vorex-poster-bench.XXXXXX")
mkdir -p "$dir"
cleanup() { [ "$keep" = 1 ] || rm -rf "$dir"; }
trap cleanup EXIT

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }
cores=$(nproc)

"$cli" new --size 600x400 --iter "$iter" --centre -0.5,0 --step 0.005 --quiet -o "$dir/view.mbt"

t0=$(now)
"$cli" poster plan "$dir/view.mbt" --size "$size" --depth 8 -o "$dir/plan" --quiet
t1=$(now)
tiles=$(ls "$dir"/plan/tile-*.mbt | wc -l)
# One computing thread per job and one job per core.
parallel -j "$cores" "$cli" compute --quiet --threads 1 ::: "$dir"/plan/tile-*.mbt
t2=$(now)
"$cli" poster status "$dir/plan" >/dev/null
/usr/bin/time -v -o "$dir/assemble.time" "$cli" poster assemble "$dir/plan" -o "$dir/poster.tif" --bigtiff --quiet
t3=$(now)

peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$dir/assemble.time")
bytes=$(stat -c %s "$dir/poster.tif")
# The header's version word: 43 for BigTIFF, 42 for classic TIFF.
version=$(od -An -tu2 -j2 -N2 "$dir/poster.tif" | tr -d ' ')
tiffinfo "$dir/poster.tif" > "$dir/tiffinfo.txt"
grep -q "Image Width: ${size%x*} Image Length: ${size#*x}" "$dir/tiffinfo.txt" \
  || { echo "poster-bench: tiffinfo reads another size:" >&2; cat "$dir/tiffinfo.txt" >&2; exit 1; }
# libtiff decodes every strip (-D reads the data without printing it).
t4=$(now)
tiffinfo -D "$dir/poster.tif" > "$dir/tiffread.txt" 2>&1 \
  || { echo "poster-bench: libtiff could not read the strips:" >&2; tail "$dir/tiffread.txt" >&2; exit 1; }
t5=$(now)

echo "poster $size, 8-bit, $tiles tiles, $cores cores"
echo "plan:     $(elapsed "$t0" "$t1") s"
echo "compute:  $(elapsed "$t1" "$t2") s (GNU parallel, $cores jobs)"
echo "assemble: $(elapsed "$t2" "$t3") s, peak memory $((peak_kb / 1024)) MB"
echo "output:   $((bytes / 1024 / 1024)) MB, TIFF version $version ($([ "$version" = 43 ] && echo BigTIFF || echo classic))"
echo "libtiff read every strip back in $(elapsed "$t4" "$t5") s"
if [ "$version" != 43 ]; then
  echo "poster-bench: not a BigTIFF" >&2
  exit 1
fi
if [ "$peak_kb" -ge $((1024 * 1024)) ]; then
  echo "poster-bench: the assembly used 1 GB or more" >&2
  exit 1
fi

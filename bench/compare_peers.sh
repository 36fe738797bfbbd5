#!/usr/bin/env bash
# Times our colour reduction and half-tone against Pillow and ImageMagick on
# one 2048 x 2048 24-bit picture (made by reduce_bench, ~1.6 million colours)
# and prints each peer's time over ours. Installs python3-pil and imagemagick
# with apt-get when they are missing; builds reduce_bench in build/rel if needed.
#
# Every figure is the quickest of RUNS runs (default 5; ours: of all the
# benchmark's iterations, at least 1 s of them). Pillow is timed on
# quantize() alone, the picture already decoded. ImageMagick runs as a
# command, so the time of reading and writing the same BMP without reducing
# (convert in.bmp out.bmp) is taken off its times.
#
# Then the whole process, as a user times it (hyperfine, the quickest of
# RUNS runs after a warm-up, all on the same picture in this one run): zrdib
# convert loading and saving (--to 24) against cp of the same file, Low,
# High and half-tone against Pillow's FASTOCTREE and MEDIANCUT (open, quantize,
# save; the interpreter's start-up with PIL imported taken off) and
# ImageMagick's Floyd-Steinberg (the whole command). Builds zrdib if needed.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVELIN_BUILD:-$root/build/rel}
bench=$build/bench/reduce_bench
runs=${RUNS:-5}

missing=()
dpkg -s python3-pil >/dev/null 2>&1 || missing+=(python3-pil)
dpkg -s imagemagick >/dev/null 2>&1 || missing+=(imagemagick)
dpkg -s hyperfine >/dev/null 2>&1 || missing+=(hyperfine)
if ((${#missing[@]})); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
# The system's own interpreter and ImageMagick, which the packages above serve.
python=/usr/bin/python3
magick=/usr/bin/convert

zrdib=$build/tools/export/zrdib
if [[ ! -x $bench || ! -x $zrdib ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVELIN_BENCH=ON >/dev/null
  cmake --build "$build" -j2 --target reduce_bench zrdib
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
picture=$work/plasma.bmp
TARVELIN_REDUCE_WRITE_BMP=$picture "$bench"

# Ours, on the BMP just written: milliseconds of the quickest single conversion.
TARVELIN_REDUCE_BMP=$picture "$bench" --benchmark_filter='^(Low8|High8|HalfTone)/' \
  --benchmark_format=json >"$work/ours.json" 2>/dev/null
"$python" - "$work/ours.json" >"$work/ours.txt" <<'PY'
import json, sys
best = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type", "iteration") == "iteration":
        name = b["name"].split("/")[0]
        best[name] = min(best.get(name, float("inf")), b["best_us"] / 1000.0)
for name, ms in best.items():
    print(name, ms)
PY

# Pillow: the quickest run of quantize alone.
"$python" - "$picture" "$runs" >"$work/pillow.txt" <<'PY'
import sys, time
from PIL import Image
image = Image.open(sys.argv[1]).convert("RGB")
image.load()
for name, method in (("FASTOCTREE", Image.Quantize.FASTOCTREE), ("MEDIANCUT", Image.Quantize.MEDIANCUT)):
    # As many runs as ours get: RUNS, or more to fill a second.
    best, spent, count = float("inf"), 0.0, 0
    while count < int(sys.argv[2]) or spent < 1.0:
        t = time.perf_counter()
        image.quantize(256, method=method)
        took = time.perf_counter() - t
        best, spent, count = min(best, took), spent + took, count + 1
    print(name, best * 1000.0)
PY

# ImageMagick: the best of a few runs of each command.
best_ms() {
  local best=
  for ((i = 0; i < runs; ++i)); do
    local t0 t1
    t0=$(date +%s%N)
    "$magick" "$@"
    t1=$(date +%s%N)
    local ms=$(((t1 - t0) / 1000000))
    [[ -z $best || $ms -lt $best ]] && best=$ms
  done
  echo "$best"
}
io=$(best_ms "$picture" "BMP3:$work/out.bmp")
plain=$(best_ms "$picture" +dither -colors 256 "BMP3:$work/out.bmp")
fs=$(best_ms "$picture" -dither FloydSteinberg -colors 256 "BMP3:$work/out.bmp")
{
  echo "IM_PLAIN $((plain - io))"
  echo "IM_FS $((fs - io))"
} >"$work/magick.txt"

"$python" - "$work" "$io" <<'PY'
import sys
work, io = sys.argv[1], sys.argv[2]
def table(name):
    return {k: float(v) for k, v in (line.split() for line in open(f"{work}/{name}.txt"))}
ours, pillow, magick = table("ours"), table("pillow"), table("magick")
rows = [
    ("Pillow quantize FASTOCTREE", pillow["FASTOCTREE"], "Low8", "Low method, 256 colours"),
    ("Pillow quantize MEDIANCUT", pillow["MEDIANCUT"], "High8", "High method, 256 colours"),
    ("ImageMagick -colors 256 +dither", magick["IM_PLAIN"], "Low8", "Low method, 256 colours"),
    ("ImageMagick -colors 256 +dither", magick["IM_PLAIN"], "High8", "High method, 256 colours"),
    ("ImageMagick -dither FloydSteinberg -colors 256", magick["IM_FS"], "HalfTone", "half-tone"),
]
print(f"ImageMagick reading and writing the BMP alone: {io} ms (taken off its times)")
print(f"{'peer':48} {'peer ms':>9}   {'ours':28} {'ours ms':>8} {'peer/ours':>9}")
for peer, peer_ms, key, label in rows:
    print(f"{peer:48} {peer_ms:9.1f}   {label:28} {ours[key]:8.1f} {peer_ms / ours[key]:9.1f}")
PY

# The whole process: the quickest of RUNS runs of each command, in milliseconds.
whole_ms() {
  hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$work/h.json" "$1" >/dev/null 2>&1
  "$python" -c 'import json, sys; print(min(json.load(open(sys.argv[1]))["results"][0]["times"]) * 1000.0)' "$work/h.json"
}
out=$work/whole.bmp
quantize='from PIL import Image; import sys; Image.open(sys.argv[1]).quantize(256, method=Image.Quantize.METHOD).save(sys.argv[2])'
{
  echo "CP $(whole_ms "cp $picture $out")"
  echo "IO $(whole_ms "$zrdib convert $picture $out --to 24 --quiet")"
  echo "LOW $(whole_ms "$zrdib convert $picture $out --to 8 --mode low --quiet")"
  echo "HIGH $(whole_ms "$zrdib convert $picture $out --to 8 --mode high --quiet")"
  echo "HT $(whole_ms "$zrdib convert $picture $out --to halftone --quiet")"
  echo "PY $(whole_ms "$python -c 'import sys; from PIL import Image'")"
  echo "PILLOW_LOW $(whole_ms "$python -c '${quantize//METHOD/FASTOCTREE}' $picture $out")"
  echo "PILLOW_HIGH $(whole_ms "$python -c '${quantize//METHOD/MEDIANCUT}' $picture $out")"
  echo "IM_FS $(whole_ms "$magick $picture -dither FloydSteinberg -colors 256 BMP3:$out")"
} >"$work/whole.txt"
"$python" - "$work/whole.txt" <<'PY'
import sys
t = {k: float(v) for k, v in (line.split() for line in open(sys.argv[1]))}
py = t["PY"]
print()
print(f"Whole process, quickest of the runs (Python with PIL imported: {py:.1f} ms, taken off Pillow's times)")
print(f"{'what':44} {'peer ms':>9} {'ours ms':>9} {'ratio':>7}  target")
rows = [
    ("load + save (--to 24) vs cp: ours/cp", t["CP"], t["IO"], t["IO"] / t["CP"], "<= 1.5", t["IO"] / t["CP"] <= 1.5),
    ("Low vs Pillow FASTOCTREE: peer/ours", t["PILLOW_LOW"] - py, t["LOW"], (t["PILLOW_LOW"] - py) / t["LOW"], ">= 3", (t["PILLOW_LOW"] - py) / t["LOW"] >= 3),
    ("half-tone vs ImageMagick FS: peer/ours", t["IM_FS"], t["HT"], t["IM_FS"] / t["HT"], ">= 10", t["IM_FS"] / t["HT"] >= 10),
    ("High vs Pillow MEDIANCUT: peer/ours", t["PILLOW_HIGH"] - py, t["HIGH"], (t["PILLOW_HIGH"] - py) / t["HIGH"], ">= 10", (t["PILLOW_HIGH"] - py) / t["HIGH"] >= 10),
]
for what, peer, ours, ratio, target, met in rows:
    print(f"{what:44} {peer:9.1f} {ours:9.1f} {ratio:7.2f}  {target} {'met' if met else 'NOT met'}")
PY

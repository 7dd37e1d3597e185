#!/usr/bin/env bash
# velmora-stamp beside the tools people use for the same job, in one run on this machine.
#
#   bench/compare-peers.sh            # about 5 minutes on 2 cores
#   bench/compare-peers.sh --quick    # a smaller workload, about a minute
#   VELMORA_BENCH_DIR=/big/disk bench/compare-peers.sh   # where the workload goes (~2 GB)
#
# It installs what it compares against if missing (Debian's imagemagick, graphicsmagick,
# python3-pil and time; with sudo when not root), builds the release tools if needed, and then:
#
# 1. 100 BMP files of 1920 x 1080 at 24 bits (a noisy gradient, different in every file), each
#    tool on a fresh copy, stamping "Velmora 测试 2026" at 48 pixels, white, alpha 128, in the
#    bottom-right corner, in place: velmora-stamp --jobs 1, --jobs 2 and without --jobs (one job
#    per core), ImageMagick's mogrify -annotate, GraphicsMagick's gm mogrify -draw, one Pillow
#    process for the whole batch, the floor (build/release/bench/velmora_floor: map each file,
#    widen its rows to 32 bits, write a synced temporary and rename it over the file) and the
#    streaming floor (velmora_floor --streaming: the same with the rows widened by vector
#    instructions, flushed with fdatasync as velmora-stamp's writer does). After one unmeasured
#    warm-up of every
#    tool over five files (programs, libraries and fonts read in), each runs in 3 rounds (1 with
#    --quick), the tools taking turns, and its fastest round is shown: wall time, files per
#    second, CPU time and peak resident size (/usr/bin/time -v), then the ratios against the goals.
# 2. One 8000 x 6000 24-bit file (4000 x 3000 with --quick): velmora-stamp --jobs 1 against
#    the floor and the streaming floor, in rounds likewise, and its peak resident size against
#    64 MiB; then one 16000 x 12000 file (8000 x 6000 with --quick), whose peak must be the same
#    within 10 %: the picture is never held whole.
# 3. 1,000 and 10,000 files of 64 x 64 (200 and 2,000 with --quick): velmora-stamp's peak
#    resident size must not grow with the length of the list, with --jobs 1 and --jobs 2.
# 4. The workload of 1. on a memory file system (/dev/shm), where flushing costs nothing:
#    velmora-stamp --jobs 2 against --jobs 1, in rounds; the processors alone set the pace.
#
# The load average of the machine is printed at the start and the end of each part: the ratios
# are measured side by side, but a machine shared with other work spreads them.
#
# velmora-stamp and the floor write 32-bit files (the display's format, as the program saves),
# a third larger than the 24-bit files the peers write, and they sync each file before the
# rename (velmora-stamp lets each file's sync overlap the next file's work); the peers
# overwrite in place without syncing. The figures are wall times on a machine whose cores and
# disk may be shared: run it on a quiet machine. On a virtual machine, memory the guest has not
# touched for a while can cost far more to touch again than memory just freed, so the tool that
# runs first after a pause pays for it; the rounds and the warm-up spread that. Not part of
# scripts/test.
set -euo pipefail

quick=0
[ "${1:-}" = "--quick" ] && quick=1

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/release"
stamp="$build/cli/velmora-stamp"
floor="$build/bench/velmora_floor"
load() { echo "load average $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"; }
pictures="$build/bench/velmora_make_pictures"

if [ "$quick" = 1 ]; then
  rounds=1 count=20 large_w=4000 large_h=3000 huge_w=8000 huge_h=6000 few=200 many=2000
else
  rounds=3 count=100 large_w=8000 large_h=6000 huge_w=16000 huge_h=12000 few=1000 many=10000
fi
text="Velmora 测试 2026"

# --- what the comparison needs -------------------------------------------------------------
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
missing=()
for p in imagemagick graphicsmagick python3-pil time; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

font_file="$(fc-match -f '%{file}' 'WenQuanYi Micro Hei' 2>/dev/null || true)"
case "$font_file" in
  *wqy*|*Noto*CJK*|*NotoSansCJK*) ;;
  *) font_file="$(fc-list ':lang=zh' file 2>/dev/null | head -n1 | sed 's/: *$//')" ;;
esac
[ -n "$font_file" ] || { echo "no font with Chinese characters found (scripts/setup installs one)"; exit 1; }
font_family="$(fc-query -i 0 -f '%{family[0]}' "$font_file" 2>/dev/null)"

[ -f "$build/build.ninja" ] || (cd "$root" && cmake --preset release >/dev/null)
(cd "$root" && cmake --build --preset release -j2 --target velmora-stamp velmora_floor \
  velmora_make_pictures >/dev/null)

work="${VELMORA_BENCH_DIR:-${TMPDIR:-/tmp}}/velmora-peers.$$"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
master="$work/master" run="$work/run"

# --- the tools: each command line is followed by the files --------------------------------
velmora1=("$stamp" --jobs 1 --anchor bottom-right --margin 0 --text "$text" --size 48
  --color '#ffffff' --alpha 128 --font "$font_family")
velmora2=("${velmora1[@]}")
velmora2[2]=2
velmora_default=("$stamp" "${velmora1[@]:3}") # no --jobs: one job per core
imagemagick=(mogrify -font "$font_file" -pointsize 48 -fill 'rgba(255,255,255,0.5)'
  -gravity southeast -annotate +0+0 "$text")
# The fourth byte of the fill is 128 of 255, read as opacity or as alpha alike.
graphicsmagick=(gm mogrify -font "$font_file" -pointsize 48 -fill '#ffffff80' -gravity SouthEast
  -draw "text 0,0 '$text'")
cat >"$work/stamp.py" <<'EOF'
import sys
from PIL import Image, ImageDraw, ImageFont
font = ImageFont.truetype(sys.argv[1], 48)
text = sys.argv[2]
for path in sys.argv[3:]:
    picture = Image.open(path)
    picture.load()
    ImageDraw.Draw(picture, "RGBA").text((picture.width, picture.height), text, font=font,
                                         fill=(255, 255, 255, 128), anchor="rd")
    picture.save(path)
EOF
pillow=(/usr/bin/python3 "$work/stamp.py" "$font_file" "$text")

# --- measuring -----------------------------------------------------------------------------
declare -A wall cpu rss status
# measure NAME COMMAND...: one round on a fresh copy of $master in $run; NAME keeps its fastest
# round's wall time (seconds), CPU time (seconds) and peak resident size (KiB), and "ok" while
# every round did its job.
measure() {
  local name="$1"
  shift
  rm -rf "$run"
  cp -r "$master" "$run"
  sync
  local start end code=0 seconds kib used
  start=$(date +%s.%N)
  /usr/bin/time -v -o "$work/time.txt" "$@" >"$work/out.txt" 2>&1 || code=$?
  end=$(date +%s.%N)
  seconds=$(echo "$end - $start" | bc -l)
  kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
  used=$(awk -F': ' '/User time|System time/ {s += $2} END {print s}' "$work/time.txt")
  if [ -z "${wall[$name]:-}" ] || [ "$(echo "$seconds < ${wall[$name]}" | bc -l)" = 1 ]; then
    wall[$name]="$seconds" cpu[$name]="$used" rss[$name]="$kib"
  fi
  [ -n "${status[$name]:-}" ] || status[$name]="ok"
  if [ "$code" -ne 0 ]; then
    status[$name]="FAILED (exit $code: $(head -c 200 "$work/out.txt" | tr '\n' ' '))"
  elif [ -n "${check_file:-}" ] && cmp -s "$master/$check_file" "$run/$check_file"; then
    status[$name]="FAILED (the file is unchanged)"
  fi
}
# in_rounds NAME...: $rounds rounds of each named tool (see run_tool), the order turned around
# every other round, so that no tool always runs right after the same one: each leaves the
# machine's memory and disk in a state that helps or hinders the next.
in_rounds() {
  local r i order=("$@")
  for ((r = 0; r < rounds; r++)); do
    for ((i = 0; i < ${#order[@]}; i++)); do
      if ((r % 2 == 0)); then run_tool "${order[i]}"; else run_tool "${order[-i - 1]}"; fi
    done
  done
}
run_tool() {
  case "$1" in
    "velmora --jobs 1" | "large velmora") measure "$1" "${velmora1[@]}" "${files[@]}" ;;
    "velmora --jobs 2" | "shm velmora --jobs 2") measure "$1" "${velmora2[@]}" "${files[@]}" ;;
    "shm velmora --jobs 1") measure "$1" "${velmora1[@]}" "${files[@]}" ;;
    "velmora default jobs") measure "$1" "${velmora_default[@]}" "${files[@]}" ;;
    "streaming floor" | "large streaming floor" | "huge streaming floor")
      measure "$1" "$floor" --streaming "${files[@]}" ;;
    "huge velmora") measure "$1" "${velmora1[@]}" "${files[@]}" ;;
    "ImageMagick mogrify") measure "$1" "${imagemagick[@]}" "${files[@]}" ;;
    "GraphicsMagick mogrify") measure "$1" "${graphicsmagick[@]}" "${files[@]}" ;;
    "Pillow") measure "$1" "${pillow[@]}" "${files[@]}" ;;
    "floor" | "large floor") measure "$1" "$floor" "${files[@]}" ;;
  esac
}
load_workload() { # files: the workload as named in $run; check_file: one of them, by name
  local listed=("$master"/*)
  files=("${listed[@]/#$master/$run}")
  check_file="${listed[0]##*/}"
}
mib() { echo "scale=1; $1 / 1024" | bc -l; }
ratio() { echo "scale=2; $1 / $2" | bc -l; }
# verdict CONDITION NAME...: pass when the bc condition holds and every named tool did its job.
verdict() {
  local condition="$1" name
  shift
  for name in "$@"; do
    [ "${status[$name]}" = ok ] || { echo "FAIL ($name failed)"; return; }
  done
  [ "$(echo "$condition" | bc -l)" = 1 ] && echo pass || echo FAIL
}

echo "velmora-stamp against its peers on $(nproc) cores, $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "font: $font_file; best of $rounds round(s); $(load)"

# --- 1. the batch of pictures --------------------------------------------------------------
mkdir -p "$master"
"$pictures" "$master" "$count" 1920 1080
load_workload
names=("velmora --jobs 1" "velmora --jobs 2" "ImageMagick mogrify" "GraphicsMagick mogrify"
  "Pillow" "floor" "velmora default jobs" "streaming floor")
all_files=("${files[@]}")
files=("${files[@]:0:5}")
for name in "${names[@]}"; do run_tool "$name"; done
wall=() cpu=() rss=() status=()
files=("${all_files[@]}")
in_rounds "${names[@]}"

echo
echo "$count files of 1920 x 1080, 24 bits, stamped in place ($(load) at the end)"
printf '%-24s %9s %9s %9s %9s %10s  %s\n' tool "wall s" "files/s" "ms/file" "cpu s" \
  "peak MiB" result
for name in "${names[@]}"; do
  printf '%-24s %9.2f %9.1f %9.1f %9.2f %10s  %s\n' "$name" "${wall[$name]}" \
    "$(echo "$count / ${wall[$name]}" | bc -l)" "$(echo "${wall[$name]} * 1000 / $count" | bc -l)" \
    "${cpu[$name]}" "$(mib "${rss[$name]}")" "${status[$name]}"
done
fastest="${names[2]}"
for name in "${names[@]:3:2}"; do
  [ "$(echo "${wall[$name]} < ${wall[$fastest]}" | bc -l)" = 1 ] && fastest="$name"
done
j1="${wall[${names[0]}]}" j2="${wall[${names[1]}]}" fl="${wall[floor]}"
echo
printf 'velmora --jobs 1 speed / fastest peer (%s): %s  (goal >= 1: %s)\n' "$fastest" \
  "$(ratio "${wall[$fastest]}" "$j1")" "$(verdict "${wall[$fastest]} >= $j1" "${names[0]}" "$fastest")"
printf 'velmora --jobs 1 time / floor: %s  (goal <= 1.3: %s)\n' "$(ratio "$j1" "$fl")" \
  "$(verdict "$j1 <= 1.3 * $fl" "${names[0]}" floor)"
# On this disk the syncs set the pace of both; how far a second job helps the processors is
# measured on a memory file system in part 4.
printf 'velmora --jobs 2 speed-up over --jobs 1: %s  (no goal on disk; see tmpfs below)\n' \
  "$(ratio "$j1" "$j2")"
sf="${wall[streaming floor]}" jd="${wall[velmora default jobs]}"
printf 'velmora --jobs 1 time / streaming floor: %s  (goal <= 1.05: %s)\n' "$(ratio "$j1" "$sf")" \
  "$(verdict "$j1 <= 1.05 * $sf" "${names[0]}" "streaming floor")"
printf 'velmora default jobs time / --jobs 1: %s  (goal <= 1.03: %s)\n' "$(ratio "$jd" "$j1")" \
  "$(verdict "$jd <= 1.03 * $j1" "${names[0]}" "velmora default jobs")"
# A second job helps only as far as one job keeps a core busy: CPU time / wall time.
printf 'velmora --jobs 1 busy %s of its wall time (the rest is waiting on the disk, which a second job shares)\n' \
  "$(ratio "${cpu[${names[0]}]}" "$j1")"

# --- 2. one large picture ------------------------------------------------------------------
rm -rf "$master" "$run"
mkdir -p "$master"
"$pictures" "$master" 1 "$large_w" "$large_h" large
load_workload
in_rounds "large velmora" "large floor" "large streaming floor"
file_bytes=$(stat -c %s "$master/$check_file")
bound_kib=$((64 * 1024))
echo
echo "one file of $large_w x $large_h, 24 bits ($(mib $((file_bytes / 1024))) MiB; $(load) at the end)"
printf '%-24s %9s %10s  %s\n' tool "wall ms" "peak MiB" result
for name in "large velmora" "large floor" "large streaming floor"; do
  printf '%-24s %9.0f %10s  %s\n' "${name#large }" "$(echo "${wall[$name]} * 1000" | bc -l)" \
    "$(mib "${rss[$name]}")" "${status[$name]}"
done
printf 'velmora time / floor: %s  (goal <= 1.3: %s)\n' \
  "$(ratio "${wall[large velmora]}" "${wall[large floor]}")" \
  "$(verdict "${wall[large velmora]} <= 1.3 * ${wall[large floor]}" "large velmora" "large floor")"
printf 'velmora time / streaming floor: %s  (goal <= 1.15: %s)\n' \
  "$(ratio "${wall[large velmora]}" "${wall[large streaming floor]}")" \
  "$(verdict "${wall[large velmora]} <= 1.15 * ${wall[large streaming floor]}" "large velmora" \
    "large streaming floor")"
printf 'velmora peak %s MiB, bound %s MiB: %s\n' \
  "$(mib "${rss[large velmora]}")" "$(mib "$bound_kib")" \
  "$(verdict "${rss[large velmora]} <= $bound_kib" "large velmora")"

rm -rf "$master" "$run"
mkdir -p "$master"
"$pictures" "$master" 1 "$huge_w" "$huge_h" huge
load_workload
measure "huge velmora" "${velmora1[@]}" "${files[@]}"
echo
echo "one file of $huge_w x $huge_h, 24 bits ($(mib $(($(stat -c %s "$master/$check_file") / 1024))) MiB)"
printf 'velmora peak %s MiB, %s x %s: %s MiB (goal: within 10 %%: %s)\n' \
  "$(mib "${rss[huge velmora]}")" "$large_w" "$large_h" "$(mib "${rss[large velmora]}")" \
  "$(verdict "${rss[huge velmora]} <= 1.1 * ${rss[large velmora]}" "huge velmora" "large velmora")"

# --- 3. many small pictures ----------------------------------------------------------------
echo
echo "peak resident size over many files of 64 x 64 (MiB)"
printf '%-24s %10s %10s  %s\n' tool "$few files" "$many files" result
for jobs in 1 2; do
  for n in "$few" "$many"; do
    rm -rf "$master" "$run"
    mkdir -p "$master"
    "$pictures" "$master" "$n" 64 64 small
    load_workload
    velmora="velmora$jobs[@]"
    measure "small $jobs $n" "${!velmora}" "${files[@]}"
  done
  small="${rss[small $jobs $few]}" large_list="${rss[small $jobs $many]}"
  # Constant: the longer list may cost a little for its own paths and results, no more.
  printf '%-24s %10s %10s  %s\n' "velmora --jobs $jobs" "$(mib "$small")" \
    "$(mib "$large_list")" "$(verdict "$large_list <= $small * 1.1 + 2048" "small $jobs $few" "small $jobs $many")"
done

# --- 4. on a memory file system ------------------------------------------------------------
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  rm -rf "$master" "$run"
  work_disk="$work"
  work="$(mktemp -d /dev/shm/velmora-peers.XXXXXX)"
  trap 'rm -rf "$work" "$work_disk"' EXIT
  master="$work/master" run="$work/run"
  mkdir -p "$master"
  "$pictures" "$master" "$count" 1920 1080
  load_workload
  in_rounds "shm velmora --jobs 1" "shm velmora --jobs 2"
  s1="${wall[shm velmora --jobs 1]}" s2="${wall[shm velmora --jobs 2]}"
  echo
  echo "$count files of 1920 x 1080 on /dev/shm (tmpfs; $(load) at the end)"
  printf '%-24s %9s %9s %9s  %s\n' tool "wall s" "files/s" "cpu s" result
  for name in "shm velmora --jobs 1" "shm velmora --jobs 2"; do
    printf '%-24s %9.2f %9.1f %9.2f  %s\n' "${name#shm }" "${wall[$name]}" \
      "$(echo "$count / ${wall[$name]}" | bc -l)" "${cpu[$name]}" "${status[$name]}"
  done
  printf 'velmora --jobs 2 speed-up over --jobs 1 on tmpfs: %s  (goal >= 1.8: %s)\n' \
    "$(ratio "$s1" "$s2")" \
    "$(verdict "$s1 >= 1.8 * $s2" "shm velmora --jobs 1" "shm velmora --jobs 2")"
fi

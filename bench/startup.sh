#!/usr/bin/env bash
# Start-up time: from starting the program with a sketch file on its command
# line until the sheet's first paint is on screen, in a real X server (a
# private Xvfb). The program prints the moment of that paint when
# GRAPHELLE_STARTUP_PROBE is set, and ends at once when it is "quit".
#
#   bench/startup.sh [BUILD_DIR] [RUNS]     (default build/default, 15 runs)
#
# Prints every run and the median; the target is under 300 ms.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${2:-15}
exe=$build/graphelle
cli=$build/graphelle-cli
for f in "$exe" "$cli"; do
  [ -x "$f" ] || { echo "startup.sh: $f is not built" >&2; exit 2; }
done
command -v Xvfb >/dev/null || { echo "startup.sh: Xvfb is not installed" >&2; exit 2; }

tmp=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

display=
for n in $(seq 150 250); do
  if [ ! -e /tmp/.X$n-lock ] && [ ! -e /tmp/.X11-unix/X$n ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "startup.sh: no free display" >&2; exit 1; }
Xvfb ":$display" -screen 0 1280x900x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.05; done

mkdir -p "$tmp/home/run"
chmod 700 "$tmp/home/run"
sheet=$tmp/home/sheet.tvk
printf 'new 400 300 5\nstroke 20 20 380 280\nsave %s\n' "$sheet" | "$cli" run - >/dev/null

run_once() {
  local start end
  start=$(date +%s%N)
  end=$(env DISPLAY=":$display" HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" \
            XDG_DATA_HOME="$tmp/home/.local/share" XDG_RUNTIME_DIR="$tmp/home/run" \
            QT_QPA_PLATFORM=xcb GRAPHELLE_STARTUP_PROBE=quit \
            "$exe" "$sheet" 2>/dev/null | sed -n 's/^first-paint //p' || true)
  [ -n "$end" ] || { echo "startup.sh: the program reported no paint" >&2; exit 1; }
  echo $(( (end - start) / 1000000 ))
}

run_once >/dev/null  # the first run warms the disk cache
times=()
for i in $(seq "$runs"); do
  t=$(run_once)
  times+=("$t")
  echo "run $i: $t ms"
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start-up to the sheet on screen: median ${sorted[$(( ${#sorted[@]} / 2 ))]} ms," \
     "best ${sorted[0]} ms, worst ${sorted[-1]} ms over $runs runs (target < 300 ms)"

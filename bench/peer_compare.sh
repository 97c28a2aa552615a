#!/usr/bin/env bash
# Times 60 s of stereo 48 kHz noise through the engine (as a LADSPA module) and through the
# saturators of Debian's caps package, all run by sox's ladspa effect, and prints the cost per
# stereo frame with the host's own cost (a unity-gain plug-in) subtracted, and the ratio ours/peer.
# Every model is timed on both kernel paths (baseline SSE2, wide AVX2+FMA), steady and while a model
# change cross-fades into the next model; the cross-fade is also given as a multiple of the steady
# cost of the slower of its two models. The peers are timed in the same run, so the ratios are fair
# on a loaded machine; the load is printed before and after.
#
#   bench/peer_compare.sh [build-dir]      (default build/native; needs the quorvel_ladspa target)
#
# Every run is repeated and the smallest CPU time (user + system) kept, since other work on the
# machine only ever adds time.
set -euo pipefail

build="${1:-build/native}"
module_dir="$(cd "$build/bench" && pwd)"
caps="$(dpkg -L caps 2>/dev/null | grep '/caps\.so$' | head -n1)"
[[ -f "$module_dir/quorvel.so" ]] || { echo "build the quorvel_ladspa target first" >&2; exit 1; }
[[ -n "$caps" ]] || { echo "the caps package is not installed" >&2; exit 1; }
sox --help 2>&1 | grep -qw ladspa || { echo "this sox has no ladspa effect" >&2; exit 1; }

seconds="${SECONDS_OF_AUDIO:-60}"
rate=48000
repeats="${REPEATS:-3}"
frames=$((seconds * rate))
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
noise="$work/noise.f32"
sox -n -r "$rate" -c 2 -t f32 "$noise" synth "$seconds" whitenoise vol 0.5

# cpu_seconds <ladspa arguments...>: user+system time of one run over the noise.
cpu_seconds() {
  LADSPA_PATH="$module_dir" /usr/bin/time -f "%U %S" \
    sox -q -t f32 -r "$rate" -c 2 "$noise" -n ladspa "$@" 2>&1 >/dev/null | tail -n1 |
    awk '{ printf "%.3f", $1 + $2 }'
}

# Every configuration once per round, for `repeats` rounds, keeping each one's smallest time: a
# burst of other work then spoils one run of several configurations rather than every run of one.
declare -A best
configs=(host cx2 sat)
models=(tube transformer tape germanium silicon diode)
for m in "${models[@]}"; do
  for v in base wide base_fade wide_fade; do configs+=("$m.$v"); done
done
run_config() {
  case "$1" in
    host) cpu_seconds quorvel quorvel_gain ;;
    # CompressX2 ports: measure, mode (2 = saturating, 4x oversampled), threshold, strength, attack,
    # release, gain. Saturate is mono: -r runs one instance per channel; ports: mode, gain, bias.
    cx2) cpu_seconds "$caps" CompressX2 0 2 0.5 0.5 0.5 0.5 0 ;;
    sat) cpu_seconds -r "$caps" Saturate 0 0 0 ;;
    *) cpu_seconds quorvel "quorvel_${1%%.*}_${1#*.}" ;;
  esac
}
printf 'load before: %s\n' "$(uptime | sed 's/.*load average/load average/')"
for ((r = 0; r < repeats; ++r)); do
  for cfg in "${configs[@]}"; do
    t=$(run_config "$cfg")
    if [[ -z "${best[$cfg]:-}" ]] || awk -v a="$t" -v b="${best[$cfg]}" 'BEGIN { exit !(a < b) }'; then
      best[$cfg]="$t"
    fi
  done
done

# net_ns <seconds>: nanoseconds per stereo frame above the host's own cost.
net_ns() { awk -v t="$1" -v h="$host" -v f="$frames" 'BEGIN { printf "%.1f", (t - h) * 1e9 / f }'; }

host=${best[host]}
cx2=$(net_ns "${best[cx2]}")
sat=$(net_ns "${best[sat]}")

grep -qw avx2 /proc/cpuinfo && grep -qw fma /proc/cpuinfo || echo "this processor offers no AVX2 + FMA: the wide rows run the baseline path"
printf 'host (unity gain): %.3f s for %d s of stereo audio\n' "$host" "$seconds"
printf '%-26s %10s\n' "peer" "ns/frame"
printf '%-26s %10s\n' "caps CompressX2 (4x)" "$cx2" "caps Saturate (8x)" "$sat"
declare -A ns
for m in "${models[@]}"; do
  for v in base wide base_fade wide_fade; do ns[$m.$v]=$(net_ns "${best[$m.$v]}"); done
done
printf '\n%-12s %-5s %9s %7s %7s %11s %7s %9s\n' "model" "path" "steady" "/CX2" "/Sat" "cross-fade" "/CX2" "/steady"
for i in "${!models[@]}"; do
  m=${models[$i]}
  next=${models[$(((i + 1) % 6))]}
  for v in base wide; do
    awk -v name="$m" -v path="$v" -v o="${ns[$m.$v]}" -v f="${ns[$m.${v}_fade]}" -v n="${ns[$next.$v]}" \
      -v a="$cx2" -v b="$sat" \
      'BEGIN { slow = o > n ? o : n;
               printf "%-12s %-5s %9.1f %7.2f %7.2f %11.1f %7.2f %9.2f\n", name, path, o, o / a, o / b, f, f / a, f / slow }'
  done
done
printf '(cross-fade: each model into the next one; /steady is against the slower of the two)\n'
printf 'load after: %s\n' "$(uptime | sed 's/.*load average/load average/')"

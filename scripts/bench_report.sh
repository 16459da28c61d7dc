#!/usr/bin/env bash
# Builds every benchmark, runs each with JSON output and prints one table: each speed
# target next to its measured median.
#   scripts/bench_report.sh [build-folder=build]
# The figures are medians over the benchmarks' repetitions; on a busy machine they are
# noisy, so compare them on a quiet one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=$(cd "$root/bench" && ls *_bench.cpp | sed 's/_bench\.cpp$//; s/^/bench_/')
# The benchmarks read the generated pictures, so the game data comes first.
cmake --build "$build" -j2 --target game_data hazardcab $targets >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for t in $targets; do
    # Interleaved repetitions: a burst of load from elsewhere spreads over every
    # benchmark of a file instead of landing on one, which keeps ratios fair.
    (cd "$build/bin" && "./$t" --benchmark_format=json --benchmark_enable_random_interleaving=true \
        >"$out/$t.json" 2>"$out/$t.err") ||
        echo "warning: $t failed: $(tail -1 "$out/$t.err")" >&2
done

# value BENCH NAME FIELD: a field of one result in the JSON files. For repeated
# benchmarks the "_median" aggregate is used, else the single run. Times are in the
# benchmark's own unit, which is converted to milliseconds.
value() {
    local bench=$1 name=$2 field=$3
    awk -v want="$name" -v field="$field" '
        function grab(line, key,   m) {
            if (match(line, "\"" key "\": *\"?[^,\"}]*")) {
                m = substr(line, RSTART, RLENGTH); sub(/^"[^"]*": *"?/, "", m); return m
            }
            return ""
        }
        # One result per object: its name (with suffixes such as /repeats:9_median),
        # the field asked for and the time unit.
        /"name":/ { name = grab($0, "name"); v = ""; unit = "" }
        /"time_unit":/ { unit = grab($0, "time_unit") }
        { x = grab($0, field); if (x != "") v = x }
        /^ *}/ {
            if (name == want || index(name, want "/") == 1 || index(name, want "_") == 1) {
                if (v != "" && (pick == "" || name ~ /_median$/)) { pick = name; value = v; u = unit }
            }
            name = ""
        }
        END {
            if (pick == "") { print "n/a"; exit }
            value += 0
            if (field ~ /time$/) {
                if (u == "ns") value /= 1e6; else if (u == "us") value /= 1e3; else if (u == "s") value *= 1e3
            }
            printf "%.3f", value
        }' "$out/$bench.json"
}

row() { printf '%-44s %-10s %12s  %s\n' "$1" "$2" "$3" "$4"; }
verdict() { awk -v m="$1" -v t="$2" 'BEGIN { if (m == "n/a") print "?"; else print (m + 0 < t + 0) ? "ok" : "OVER" }'; }
# ratio A B: A as a multiple of B.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "n/a" || b == "n/a" || b + 0 <= 0) print "n/a"; else printf "%.2f", a / b }'; }
ratioLine() {
    local label=$1 target=$2 m=$3
    row "$label" "<= $target x" "$m x" "$(awk -v m="$m" -v t="$target" 'BEGIN { if (m == "n/a") print "?"; else print (m + 0 <= t + 0) ? "ok" : "OVER" }')"
}
line() {
    local label=$1 target=$2 m=$3
    row "$label" "< $target" "$m" "$(verdict "$m" "$target")"
}

echo
row "target" "limit ms" "median ms" ""
row "------" "--------" "---------" ""
line "assets: decode pack + colour tables" 60 "$(value bench_assets BM_DecodeAndColourTables real_time)"
line "renderWorldView" 1.0 "$(value bench_render BM_WorldView real_time)"
line "renderWorldView, low detail" 0.6 "$(value bench_render BM_WorldViewLowDetail real_time)"
line "drawMapView" 1.5 "$(value bench_render BM_MapView real_time)"
bare=$(value bench_render BM_BarePass real_time)
line "bare column pass (texel, shade, store)" 1.0 "$bare"
line "palette conversion, 640 x 480 to 32-bit" 1.0 "$(value bench_render BM_PaletteConvert real_time)"
line "the same, scaled to 1024 x 768 in one pass" 2.0 "$(value bench_render BM_ScaleToWindow real_time)"
ratioLine "renderWorldView / bare pass" 2.0 "$(ratio "$(value bench_render BM_WorldView real_time)" "$bare")"
ratioLine "renderWorldView, low detail / bare pass" 1.2 "$(ratio "$(value bench_render BM_WorldViewLowDetail real_time)" "$bare")"
ratioLine "drawMapView / bare pass" 3.0 "$(ratio "$(value bench_render BM_MapView real_time)" "$bare")"
# The same ratios in processor time: on a machine busy with other work these move
# less than the wall-clock ones, which count the time the benchmark waited.
bareCpu=$(value bench_render BM_BarePass cpu_time)
ratioLine "  the same in processor time: world view" 2.0 "$(ratio "$(value bench_render BM_WorldView cpu_time)" "$bareCpu")"
ratioLine "  low detail" 1.2 "$(ratio "$(value bench_render BM_WorldViewLowDetail cpu_time)" "$bareCpu")"
ratioLine "  map view" 3.0 "$(ratio "$(value bench_render BM_MapView cpu_time)" "$bareCpu")"
line "generateCityMap" 100 "$(value bench_city BM_GenerateCityMap real_time)"
line "simulation frame" 0.2 "$(value bench_sim BM_SimulationFrame real_time)"
line "pick-up frame" 5 "$(value bench_sim BM_PickUpFrame real_time)"
line "drop-off frame" 5 "$(value bench_sim BM_DropOffFrame real_time)"
line "arcade frame, median (10,000 frames)" 1.5 "$(value bench_shift BM_ArcadeFrame median_ms)"
line "arcade frame, slowest" 8 "$(value bench_shift BM_ArcadeFrame max_ms)"
line "start-up to the menu's first frame, headless" 100 "$(value bench_startup BM_StartUpToTheMenu real_time)"

# The real game under Xvfb: from launch to the console's "Just a moment...", which the
# menu's first frame follows at once (median of five launches). Needs Xvfb.
if command -v Xvfb >/dev/null; then
    display=:$((90 + RANDOM % 9))
    Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    sleep 1
    times=()
    for i in 1 2 3 4 5; do
        log=$out/startup.log
        start=$(date +%s%N)
        (cd "$build/bin" && DISPLAY=$display ALSOFT_DRIVERS=null HAZARDCAB_HOME=$out/home exec ./hazardcab) >"$log" 2>&1 &
        game=$!
        until grep -q 'Just a moment' "$log" 2>/dev/null || ! kill -0 $game 2>/dev/null; do sleep 0.002; done
        times+=($(( ($(date +%s%N) - start) / 1000 )))
        kill -TERM $game 2>/dev/null; wait $game 2>/dev/null || true
    done
    kill $xvfb; wait $xvfb 2>/dev/null || true
    median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
    line "start-up of the real game under Xvfb" 1000 "$(awk -v us="$median" 'BEGIN { printf "%.1f", us / 1000 }')"
    # The game's share of one core on each screen (scripts/cpu_share.sh): ten seconds
    # each, menus at most 8 %, driving at most 15 %, the X server's share beside it.
    if command -v xdotool >/dev/null && shares=$("$root/scripts/cpu_share.sh" "$build/bin/hazardcab"); then
        while IFS= read -r l; do
            case $l in
                presentation:*) echo "  (share of a core: $l)" ;;
                *)  label=$(printf '%s' "$l" | cut -c1-18 | sed 's/ *$//')
                    share=$(printf '%s' "$l" | awk '{ for (i = 1; i < NF; ++i) if ($i == "game") print $(i + 1) }')
                    xserver=$(printf '%s' "$l" | awk '{ for (i = 1; i < NF; ++i) if ($i == "server") print $(i + 1) }')
                    limit=$([ "$label" = "driving (arcade)" ] && echo 15 || echo 8)
                    row "share of a core: $label (X $xserver %)" "<= $limit %" "$share %" \
                        "$(awk -v m="$share" -v t="$limit" 'BEGIN { print (m + 0 <= t + 0) ? "ok" : "OVER" }')" ;;
            esac
        done <<<"$shares"
    fi
fi

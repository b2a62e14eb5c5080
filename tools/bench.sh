#!/usr/bin/env bash
# Benchmark (not a test): replays one hour of flight at 18 monitor
# notifications a second with four engines against the real kestovan.dll
# under Wine, and reports monitor notifications per second of wall time.
#
# The hour is a cruise with manoeuvres: the load factor and airspeed wander,
# three engines run warm and engine 4 overheats twice, is cut and restarted
# and finally seizes, so every model does its work on every notification.
# A one-second flight is timed too, to tell Wine's start-up from the replay.
#
# KSV_WIN32_BUILD_DIR and KSV_WINEPREFIX choose the build and prefix (tools/wine.sh).
set -eu
cd "$(dirname "$0")/.."
. tools/wine.sh

hour=$build_dir/bench_hour.csv
second=$build_dir/bench_second.csv
awk 'BEGIN {
  print "time,g,speed,cht1,rad1,oil1,oilp1,cht2,rad2,oil2,oilp2,cht3,rad3,oil3,oilp3,cht4,rad4,oil4,oilp4"
  for (t = 0; t <= 3600; t += 5) {
    g = 1 + 0.8 * sin(t / 37); speed = 300 + 120 * sin(t / 290)
    line = t "," g "," speed
    for (n = 1; n <= 4; n++) {
      cht = 410 + 25 * sin(t / 600 + n)
      if (n == 4 && ((t > 600 && t < 640) || t > 2400)) cht = 470
      line = line "," cht "," 200 + 20 * sin(t / 500 + n) "," 190 + 15 * sin(t / 700 + n) "," 55
    }
    print line
  }
}' >"$hour"
printf 'time,g,speed\n0,1,300\n1,1,300\n' >"$second"

run() {  # flight file; prints the wall time in seconds
  local start end
  start=$(date +%s.%N)
  timeout 600 wine "$build_dir/simhost.exe" replay --aircraft examples/aircraft/Vestrel_Fighter \
    --flight "$1" --engines 4 --rate 18 >"$build_dir/bench_last.txt"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

run "$second" >/dev/null  # warms Wine up
startup=$(run "$second")
total=$(run "$hour")
notifications=$(tr -d '\r' <"$build_dir/bench_last.txt" | sed -n 's/^flew .*: \([0-9]*\) monitor notifications$/\1/p')
awk -v n="$notifications" -v total="$total" -v startup="$startup" 'BEGIN {
  printf "one hour of flight, 4 engines, 18 notifications/s: %d monitor notifications\n", n
  printf "wall time %.2f s (a one-second flight, mostly Wine start-up: %.2f s)\n", total, startup
  printf "%.0f notifications per second of wall time (%.0f without start-up)\n", n / total, n / (total - startup)
  printf "%.0f times faster than real time\n", 3600 / total
}'
echo "timeline of the hour: $build_dir/bench_last.txt"

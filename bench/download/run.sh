#!/usr/bin/env bash
# Download engine benchmark on loopback: nginx (Debian's nginx-light, sendfile
# on) serves a 256 MiB random file under /<md5>/package.bin, and commands are
# interleaved A B A B so that drift hits both sides alike. Prints one line
# per ratio with the median times and the target.
#
#   bench/download/run.sh [runs]       (default 7 runs of each command)
#
# Builds download_bench with the native-release preset into build/native-release
# (or uses $BENCH_BUILD). Not part of ./scripts/test.
set -euo pipefail
cd "$(dirname "$0")/../.."
RUNS=${1:-7}
BUILD=${BENCH_BUILD:-build/native-release}
SIZE_MIB=${BENCH_SIZE_MIB:-256}

if [[ ! -f $BUILD/CMakeCache.txt ]]; then
  cmake --preset native-release -B "$BUILD" >/dev/null
fi
cmake --build "$BUILD" --target download_bench -j2 >/dev/null
DRIVER=$PWD/$BUILD/bin/download_bench

work=$(mktemp -d /tmp/tw-bench.XXXXXX)
nginx_pid=
cleanup() {
  [[ -n $nginx_pid ]] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/www" "$work/logs" "$work/out"
head -c $((SIZE_MIB * 1048576)) /dev/urandom > "$work/package.bin"
md5=$(md5sum "$work/package.bin" | cut -d' ' -f1)
mkdir -p "$work/www/$md5"
mv "$work/package.bin" "$work/www/$md5/package.bin"
file=$work/www/$md5/package.bin
# The same bytes under a path without an MD5 text: the download alone,
# with nothing to verify, for the comparison with curl.
mkdir -p "$work/www/plain"
ln "$file" "$work/www/plain/package.bin"
chmod -R a+rX "$work"

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cat > "$work/nginx.conf" <<CONF
worker_processes 1;
error_log $work/logs/error.log;
pid $work/logs/nginx.pid;
events { worker_connections 64; }
http {
  sendfile on;
  tcp_nopush on;
  access_log off;
  client_body_temp_path $work/logs;
  proxy_temp_path $work/logs;
  fastcgi_temp_path $work/logs;
  uwsgi_temp_path $work/logs;
  scgi_temp_path $work/logs;
  server {
    listen 127.0.0.1:$port;
    root $work/www;
  }
}
CONF
nginx -p "$work" -c "$work/nginx.conf" -g 'daemon off;' &
nginx_pid=$!
for _ in $(seq 100); do
  curl -s -o /dev/null -I "http://127.0.0.1:$port/$md5/package.bin" && break
  sleep 0.05
done
url=http://127.0.0.1:$port/$md5/package.bin
plain_url=http://127.0.0.1:$port/plain/package.bin

# Seconds of one command, with its output file removed first.
seconds() {
  rm -f "$work/out/"*
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null 2>"$work/last.err" || { echo "failed: $*" >&2; cat "$work/last.err" >&2; exit 1; }
  t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l
}
median() { sort -g | awk '{a[NR]=$1} END {m=int((NR+1)/2); if (NR%2) print a[m]; else print (a[m]+a[m+1])/2}'; }

cmd_curl() { curl -s -o "$work/out/curl.bin" "$url"; }
cmd_single() { "$DRIVER" single "$url" "$work/out/single.bin"; }
cmd_single_plain() { "$DRIVER" single "$plain_url" "$work/out/plain.bin"; }
cmd_segmented() { "$DRIVER" segmented "$url" "$work/out/segmented.bin"; }
cmd_md5sum() { md5sum "$file"; }
cmd_ours_md5() { "$DRIVER" md5 "$file"; }

# Warm the page cache and check that every command works once.
for c in cmd_curl cmd_single cmd_single_plain cmd_segmented cmd_md5sum cmd_ours_md5; do seconds $c >/dev/null; done

declare -A times
for _ in $(seq "$RUNS"); do
  for c in cmd_single_plain cmd_curl cmd_single cmd_segmented cmd_single_b cmd_md5sum cmd_ours_md5; do
    case $c in
      cmd_single_b) times[cmd_single]+="$(seconds cmd_single) " ;;
      *) times[$c]+="$(seconds $c) " ;;
    esac
  done
done
med() { tr ' ' '\n' <<<"${times[$1]}" | grep -v '^$' | median; }
single=$(med cmd_single); plain=$(med cmd_single_plain); curl_t=$(med cmd_curl); segmented=$(med cmd_segmented)
md5sum_t=$(med cmd_md5sum); ours_md5=$(med cmd_ours_md5)

"$DRIVER" single "$url" "$work/out/rss.bin" 2>"$work/rss.err" >/dev/null
rss_kib=$(awk '/peak_rss_kib/ {print $2}' "$work/rss.err" | tail -1)

ratio() { echo "scale=3; $1 / $2" | bc -l; }
max() { echo "if ($1 > $2) $1 else $2" | bc -l; }
echo "runs=$RUNS size=${SIZE_MIB}MiB medians: single=${single}s single-no-md5=${plain}s curl=${curl_t}s segmented=${segmented}s md5sum=${md5sum_t}s GetFileMd5=${ours_md5}s"
echo "single-stream (no MD5) / curl -s -o:   $(ratio "$plain" "$curl_t") (target <= 0.75)"
echo "segmented / single-stream:             $(ratio "$segmented" "$single") (target <= 1.00)"
echo "download+MD5 / max(curl, md5sum):      $(ratio "$single" "$(max "$curl_t" "$md5sum_t")") (target <= 1.10)"
echo "GetFileMd5 throughput / md5sum:        $(ratio "$md5sum_t" "$ours_md5") (target >= 0.90)"
echo "peak RSS of a ${SIZE_MIB} MiB download:      $(echo "scale=1; $rss_kib / 1024" | bc -l) MiB (target <= 24)"

#!/usr/bin/env bash
# dillo-http.sh ADDRESS [RUNS]: Dillo fetching ADDRESS (an http:// address on
# 127.0.0.1) at 800x600 under its own Xvfb, timed as ../shared/peers/dillo-time
# times a local file, but with no proxy set so the page and its pictures come
# over the loopback. Prints "SECONDS MIB" (median wall time to quiescence,
# peak memory). Stops what it starts, by PID.
set -u
address=$1
runs=${2:-3}
peers="$(cd "$(dirname "$0")/../.." && pwd)/../shared/peers"
home=$(mktemp -d)
mkdir -p "$home/.dillo"
printf 'start_page="about:blank"\nhome="about:blank"\n' >"$home/.dillo/dillorc"
display=$((90 + RANDOM % 9))
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 0.5
export DISPLAY=":$display" HOME="$home"
unset http_proxy HTTP_PROXY all_proxy ALL_PROXY
/usr/libexec/dillo/dpid >/dev/null 2>&1 &
dpid=$!
sleep 0.3
timeout 3 dillo about:blank >/dev/null 2>&1
also="--also $xvfb --also $dpid"
for child in $(pgrep -P "$dpid"); do also="$also --also $child"; done
# shellcheck disable=SC2086 # $also is a list of options
out=$(python3 "$peers/quiesce.py" --runs "$runs" $also --label dillo -- \
    dillo -g 800x600+0+0 "$address" 2>&1)
for pid in $(pgrep -P "$dpid") "$dpid" "$xvfb"; do kill "$pid" 2>/dev/null; done
rm -rf "$home"
line=$(printf '%s\n' "$out" | grep MEDIAN | tail -1)
seconds=$(printf '%s\n' "$line" | sed -n 's/.* time=\([0-9.]*\)s.*/\1/p')
mib=$(printf '%s\n' "$line" | sed -n 's/.*hwm_root=\([0-9.]*\)MiB.*/\1/p')
[ -n "$seconds" ] || {
    printf '%s\n' "$out" | tail -3 >&2
    exit 1
}
echo "$seconds $mib"

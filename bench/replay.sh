#!/usr/bin/env bash
# Times Velmora Messenger against the shared replay server: a flood of room lines, a names
# burst or membership churn, measured from outside (wall, CPU and peak memory of the client).
# Usage: bench/replay.sh [flood|names|churn] [N] [extra replay_server options...]
# Needs a built program (build/src/velmora) and Xvfb: the room window is really shown.
# VELMORA=path picks another build (e.g. with sanitizers); CLIENT_LOG=file keeps its output.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
scenario=${1:-flood}
size=${2:-100000}
shift $(( $# > 2 ? 2 : $# ))
replay="${REPLAY_SERVER:-$top/../shared/bench/replay_server.py}"
program="${VELMORA:-$top/build/src/velmora}"

work=$(mktemp -d)
cleanup() {
    if [[ -n "${client:-}" ]]; then
        kill "$client" 2>/dev/null || true
        wait "$client" 2>/dev/null || true
    fi
    [[ -n "${xvfb:-}" ]] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

if [[ -z "${DISPLAY:-}" && "${QT_QPA_PLATFORM:-}" != offscreen ]]; then
    display=:$((100 + RANDOM % 400))
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=$display
    sleep 1
fi

python3 "$replay" --scenario "$scenario" -n "$size" --channel '#bench' --client velmora \
    --port-file "$work/port" --pid-file "$work/pid" --result-file "$work/result.json" \
    --members-file "$work/members.txt" "$@" >/dev/null &
server=$!
for _ in $(seq 100); do [[ -s "$work/port" ]] && break; sleep 0.1; done

"$program" --server "127.0.0.1:$(cat "$work/port")" --nick benchuser --room '#bench' \
    >"${CLIENT_LOG:-$work/client.log}" 2>&1 &
client=$!
echo "$client" >"$work/pid"
wait "$server" || true
cat "$work/result.json"
if [[ -n "${MEMBERS_OUT:-}" ]]; then cp "$work/members.txt" "$MEMBERS_OUT"; fi

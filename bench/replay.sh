#!/usr/bin/env bash
# Times Velmora Messenger against the shared replay server: a flood of room lines, a names
# burst or membership churn, measured from outside (wall, CPU and peak memory of the client).
# Usage: bench/replay.sh [flood|names|churn] [N] [extra replay_server options...]
# Needs a built program (build/src/velmora) and Xvfb: the room window is really shown.
# VELMORA=path picks another build (e.g. with sanitizers); CLIENT_LOG=file keeps its output.
# For names and churn, run build/bench/bench_room with BENCH_MEMBERS_OUT=file to have the
# member list checked against the server's record at the end.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
scenario=${1:-flood}
size=${2:-100000}
shift $(( $# > 2 ? 2 : $# ))
replay="${REPLAY_SERVER:-$top/../shared/bench/replay_server.py}"
program="${VELMORA:-$top/build/src/velmora}"

work=$(mktemp -d)
# The link pages' web engine refuses to run as root with its sandbox on.
[[ $(id -u) -eq 0 ]] && export QTWEBENGINE_DISABLE_SANDBOX=1
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

hold=()
# The server says goodbye with ERROR, which empties the member list: keep the connection open
# long enough to read the list before that.
[[ "$scenario" != flood && -n "${BENCH_MEMBERS_OUT:-}" ]] && hold=(--hold 10)
# The X server's CPU is the drawing's other half: report it with the program's.
aux=()
[[ -n "${xvfb:-}" ]] && aux=(--aux-pid "$xvfb")
python3 "$replay" --scenario "$scenario" -n "$size" --channel '#bench' --client velmora "${aux[@]}" \
    --port-file "$work/port" --pid-file "$work/pid" --result-file "$work/result.json" \
    --members-file "$work/members.txt" "${hold[@]}" "$@" >/dev/null &
server=$!
for _ in $(seq 100); do [[ -s "$work/port" ]] && break; sleep 0.1; done

"$program" --server "127.0.0.1:$(cat "$work/port")" --nick benchuser --room '#bench' \
    >"${CLIENT_LOG:-$work/client.log}" 2>&1 &
client=$!
echo "$client" >"$work/pid"
while kill -0 "$server" 2>/dev/null && [[ ! -s "$work/result.json" ]]; do sleep 0.1; done
cat "$work/result.json"
# The room benchmarks also check the member list the program ended with against the server's.
if [[ "$scenario" != flood && -n "${BENCH_MEMBERS_OUT:-}" ]]; then
    kill "$client" 2>/dev/null || true
    wait "$client" 2>/dev/null || true
    client=
    if diff <(sort "$work/members.txt") <(sort "$BENCH_MEMBERS_OUT") >/dev/null; then
        echo "member list: right ($(wc -l <"$BENCH_MEMBERS_OUT") members)"
    else
        echo "member list: WRONG (server $(wc -l <"$work/members.txt"), program $(wc -l <"$BENCH_MEMBERS_OUT"))"
    fi
fi
kill "$server" 2>/dev/null || true
wait "$server" 2>/dev/null || true

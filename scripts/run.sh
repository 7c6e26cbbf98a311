#!/usr/bin/env bash
# Installs what is missing, builds, starts the local server, a few practice
# opponents (robot players that wait in the lobby and join the rooms people
# open) and then the client the way the portal does: its portal libraries in
# build/runtime/Common and a full set of launch parameters. The server and
# the robots stop when the client ends.
#
#   scripts/run.sh [--robots N | --no-robots] [client parameters...]
set -euo pipefail
cd "$(dirname "$0")/.."
robots=3
while [ $# -gt 0 ]; do
  case "$1" in
    --robots)
      [[ "${2:-}" =~ ^[0-9]+$ ]] && [ "$2" -le 50 ] || { echo "run.sh: --robots needs a number from 0 to 50" >&2; exit 2; }
      robots=$2; shift 2 ;;
    --no-robots) robots=0; shift ;;
    *) break ;;
  esac
done
scripts/setup.sh
scripts/build.sh default
runtime=$PWD/build/runtime
export QXENV_CommonPath="$runtime/Common"
export TOVRIK_PORTAL_REGISTRY="$runtime/portal-registry.ini"

server_log=$(mktemp -t tovrik-server.XXXXXX)
"$runtime/tovrik-server" --master-port 24000 --game-port 24001 >"$server_log.ports" 2>"$server_log" &
server_pid=$!
robot_pid=""
stop_all() {
  [ -n "$robot_pid" ] && kill "$robot_pid" 2>/dev/null && wait "$robot_pid" 2>/dev/null
  kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null
  rm -f "$server_log.ports"
}
trap stop_all EXIT
# The server prints the addresses it listens on once it is ready.
for _ in $(seq 100); do
  [ -s "$server_log.ports" ] && break
  if ! kill -0 "$server_pid" 2>/dev/null; then
    echo "tovrik-server did not start:" >&2
    cat "$server_log" >&2
    exit 1
  fi
  sleep 0.1
done
echo "local server: $(cat "$server_log.ports") (log: $server_log)"

if [ "$robots" -gt 0 ]; then
  robot_log=$(mktemp -t tovrik-robots.XXXXXX)
  "$runtime/tovrik-robot" --master 127.0.0.1:24000 --practice "$robots" >"$robot_log" 2>&1 &
  robot_pid=$!
  echo "practice opponents: $robots (log: $robot_log)"
fi

"$runtime/tovrik" ServIP=127.0.0.1 ServPort=24000 AuthCookie=local-player DataCookie=local-data CpCookie=local-cp SpareParam=group=1 "$@"

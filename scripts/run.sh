#!/usr/bin/env bash
# Installs what is missing, builds, starts the local server and then the
# client the way the portal does: its portal libraries in build/runtime/Common
# and a full set of launch parameters. The server stops when the client ends.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh default
runtime=$PWD/build/runtime
export QXENV_CommonPath="$runtime/Common"
export TOVRIK_PORTAL_REGISTRY="$runtime/portal-registry.ini"

server_log=$(mktemp -t tovrik-server.XXXXXX)
"$runtime/tovrik-server" --master-port 24000 --game-port 24001 >"$server_log.ports" 2>"$server_log" &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null; rm -f "$server_log.ports"' EXIT
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

"$runtime/tovrik" ServIP=127.0.0.1 ServPort=24000 AuthCookie=local-player DataCookie=local-data CpCookie=local-cp SpareParam=group=1 "$@"

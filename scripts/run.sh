#!/usr/bin/env bash
# Installs what is missing, builds, starts the local server and the client.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh default
runtime=build/runtime
exec "$runtime/tovrik" ServIP=127.0.0.1 ServPort=24000 AuthCookie=local-player DataCookie=local-data CpCookie=local-cp SpareParam=group=1 "$@"

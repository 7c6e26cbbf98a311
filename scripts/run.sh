#!/usr/bin/env bash
# Installs what is missing, builds, and starts the client the way the portal
# does: its portal libraries in build/runtime/Common and a full set of launch
# parameters. (The local server comes later; until then the client checks its
# parameters, reports what it would connect to, and ends.)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh default
runtime=$PWD/build/runtime
export QXENV_CommonPath="$runtime/Common"
export TOVRIK_PORTAL_REGISTRY="$runtime/portal-registry.ini"
exec "$runtime/tovrik" ServIP=127.0.0.1 ServPort=24000 AuthCookie=local-player DataCookie=local-data CpCookie=local-cp SpareParam=group=1 "$@"

#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the program.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
VELMORAN_TARGETS="velmoran velmoran-cli" "$here/tools/setup.sh" build
exec "$here/build/velmoran" "$@"

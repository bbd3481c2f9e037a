#!/usr/bin/env bash
# Installs what is missing, builds the test build (warnings are errors) and
# runs every test headless; exits with the suite's status.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/tools/setup.sh" build-test -DVELMORAN_WERROR=ON
export QT_QPA_PLATFORM=offscreen
cd "$here/build-test"
ctest --output-on-failure -j"$(nproc)" "$@"

#!/bin/bash
# The browser build's tests: the site built (and, the first time on a machine, the Debian 13
# root and Qt for WebAssembly), the core suites under node, then the smoke drill in Debian's
# chromium through puppeteer-core, installed from npm into the cache.
set -euo pipefail
shopt -s inherit_errexit
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
. "$here/common.sh"

site=$("$here/build.sh" --test | sed -n 's/^site=//p')
modules=$(node_modules_dir "$top")
NODE_PATH="$modules" node "$top/tests/web/smoke.js" "$site"

#!/bin/bash
# The browser build's tests: the site built (and, the first time on a machine, the Debian 13
# root and Qt for WebAssembly), the core suites under node, then the smoke drill in Debian's
# chromium through puppeteer-core, installed from npm into the cache, and a drill in WebKitGTK.
set -euo pipefail
shopt -s inherit_errexit
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
. "$here/common.sh"

site=$("$here/build.sh" --test | sed -n 's/^site=//p')
modules=$(node_modules_dir "$top")
NODE_PATH="$modules" node "$top/tests/web/smoke.js" "$site"

# The same drill in WebKit, the engine of every browser on an iPad, on a private Xvfb.
portfile=$(mktemp)
node "$top/tests/web/serve.js" "$site" >"$portfile" &
server=$!
trap 'kill $server 2>/dev/null; rm -f "$portfile"' EXIT
until [ -s "$portfile" ]; do sleep 0.1; done
"$top/tests/app/with_xvfb.sh" "$top/tests/web/webkit_drill.py" "http://127.0.0.1:$(cat "$portfile")/" \
    2> >(grep -v '^ALSA lib\|^AL lib' >&2)

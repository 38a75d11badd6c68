#!/bin/bash
# The browser build's figures (see web_figures.js), in Debian's chromium: builds the site and
# the bare baseline page, then measures both in one run.
#   bench/web_figures.sh [rounds]
set -euo pipefail
shopt -s inherit_errexit
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/web/common.sh"
site=$("$top/tools/web/build.sh" | sed -n 's/^site=//p')
qtinfo=$("$top/tools/web/build-qt.sh")
in_root "$(sed -n 's/^root=//p' <<<"$qtinfo")" "$top" \
    nice -n 10 cmake --build /src/build-web/cmake --target web_bare_site >&2
modules=$(node_modules_dir "$top")
NODE_PATH="$modules" node "$top/bench/web_figures.js" "$site" \
    "$top/build-web/cmake/bare-site" "${1:-5}"

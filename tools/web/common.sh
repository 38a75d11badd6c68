# Shared by the web build's scripts: the cache folder, the cache keys and running a command in
# the Debian 13 root. Sourced, not run.
cache=${TOVEMI_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tovemi}
jobs=${TOVEMI_WEB_JOBS:-2}

log() { echo "web: $*" >&2; }

key_of() { printf '%s\n' "$@" | sha256sum | cut -c1-12; }

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# Runs a command inside the root with /proc, /dev, the cache (as /cache) and the source tree (as
# /src) mounted. The mounts live in a mount namespace of their own, so they vanish with the
# command however it ends, and two commands may run in the root side by side.
#   in_root <root> <srcdir> <command...>
in_root() {
    local r=$1 src=$2
    shift 2
    "${sudo_cmd[@]}" unshare --mount --propagation private /bin/sh -eu -c '
        r=$1 src=$2 cache=$3
        shift 3
        mkdir -p "$r/src" "$r/cache"
        mount -t proc proc "$r/proc"
        mount --rbind /dev "$r/dev"
        mount --bind "$cache" "$r/cache"
        mount --bind "$src" "$r/src"
        cp -L /etc/resolv.conf "$r/etc/resolv.conf" 2>/dev/null || true
        exec chroot "$r" /usr/bin/env -i HOME=/root LANG=C.UTF-8 \
            PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin "$@"' \
        in_root "$r" "$src" "$cache" "$@"
}

# The browser tests' node packages (tests/web/package.json: puppeteer-core, which drives the
# system's chromium), installed from npm once into the cache; prints their folder.
node_modules_dir() {
    local top=$1 dir
    dir="$cache/web-node-$(key_of "$(cat "$top/tests/web/package.json")")"
    if [ ! -d "$dir/node_modules/puppeteer-core" ]; then
        mkdir -p "$dir"
        cp "$top/tests/web/package.json" "$dir/"
        (cd "$dir" && npm install --no-audit --no-fund --loglevel=error >&2)
    fi
    echo "$dir/node_modules"
}

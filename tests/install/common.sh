# Shared by the install tests: a scratch folder, the failure count, and the build's own
# install_manifest.txt (the developer's uninstall list), which every install of the build
# overwrites and which is put back as it was.
id=io.github.tovemi.Tovemi
failures=0
scratch=$(mktemp -d)
manifest="$build/install_manifest.txt"
if [ -f "$manifest" ]; then cp "$manifest" "$scratch/manifest.kept"; fi
restore() {
  if [ -f "$scratch/manifest.kept" ]; then cp "$scratch/manifest.kept" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$scratch"
}
trap restore EXIT
trap 'exit 1' INT TERM

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { # description, then a command that must succeed
  what=$1; shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}
# The value of a key of the [Desktop Entry] group.
entry_value() { sed -n "s/^$2=//p" "$1" | head -n 1; }
finish() {
  if [ "$failures" -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
  echo "all checks passed"
}

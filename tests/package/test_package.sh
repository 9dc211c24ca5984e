#!/usr/bin/env bash
# The Debian package as a user gets it: built from the build tree BUILD,
# unpacked into a scratch root with dpkg -x, the tool run from there, the
# installed files checked, and lintian reporting no error.
#   tests/package/test_package.sh BUILD
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack could not build the package"
fi
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb")"

root=$work/root
dpkg -x "$deb" "$root"
wqe=$root/usr/bin/wqe

# The tool runs from the unpacked package.
"$wqe" --help >"$work/help" || fail "wqe --help"
"$wqe" demo "$work/demo" >/dev/null || fail "wqe demo"
"$wqe" info "$work/demo" | grep -qx 'card name: DEMOCARD' || fail "the demo card does not read back"
"$wqe" export "$work/demo" -o "$work/demo.json" || fail "wqe export"
"$wqe" diff "$work/demo" "$work/demo.json" || fail "wqe diff of a card and its export"

# What the package must hold.
for f in usr/bin/wqe7000 \
  usr/share/applications/wqe7000.desktop \
  usr/share/icons/hicolor/scalable/apps/wqe7000.svg \
  usr/share/icons/hicolor/16x16/apps/wqe7000.png \
  usr/share/icons/hicolor/48x48/apps/wqe7000.png \
  usr/share/icons/hicolor/256x256/apps/wqe7000.png \
  usr/share/man/man1/wqe.1.gz \
  usr/share/man/man1/wqe7000.1.gz \
  usr/share/bash-completion/completions/wqe \
  usr/share/wqe7000/wqe-card.schema.json \
  usr/share/doc/wqe7000/copyright \
  usr/share/doc/wqe7000/changelog.gz; do
  [ -s "$root/$f" ] || fail "missing from the package: /$f"
done
file "$root/usr/share/icons/hicolor/48x48/apps/wqe7000.png" | grep -q '48 x 48' ||
  fail "the 48x48 icon is not 48 x 48"
validation=$(desktop-file-validate "$root/usr/share/applications/wqe7000.desktop" 2>&1) || true
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libqt6widgets6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib (dpkg-shlibdeps)"
done

# Every command of the tool has its entry in the manual page.
man=$(zcat "$root/usr/share/man/man1/wqe.1.gz")
for cmd in $(awk '/^Commands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }' "$work/help"); do
  grep -q "wqe $cmd" <<<"$man" || grep -q "\"wqe $cmd" <<<"$man" ||
    fail "man/wqe.1 does not describe wqe $cmd"
done

# The bash completion offers the tool's commands.
completions=$(PATH="$root/usr/bin:$PATH" bash -c "source '$root/usr/share/bash-completion/completions/wqe'; _wqe_commands")
grep -qx export <<<"$completions" || fail "bash completion does not list export"

# lintian: no errors (warnings are shown).
command -v lintian >/dev/null || fail "lintian is not installed (scripts/install-deps)"
lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || true
cat "$work/lintian"
if grep -q '^E:' "$work/lintian"; then fail "lintian reports errors"; fi
echo "lintian: no errors ($(grep -c '^W:' "$work/lintian" || true) warnings)"

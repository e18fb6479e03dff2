#!/bin/bash
# Installs the Debian package as a host would, starts the installed program without a screen and
# sees its main window come up, then removes the package again. Whatever happens on the way, the
# system is left as it was found: the package is purged and the scratch folder deleted on exit.
#
#   package_test.sh <folder with the package> <version> <desktop id>

set -u -o pipefail
package_dir=$1
version=$2
app_id=$3
package=zimbrana

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo -n"

# dpkg refuses to run while another package manager holds its lock (other developers share this
# machine); wait for it instead of failing.
dpkg_waiting() {
    local out status tries=0
    while :; do
        out=$($sudo dpkg "$@" 2>&1)
        status=$?
        if [ $status -ne 0 ] && grep -q "locked by another process\|is locked" <<<"$out" && [ $tries -lt 120 ]; then
            tries=$((tries + 1))
            sleep 2
            continue
        fi
        printf '%s\n' "$out"
        return $status
    done
}

installed_state() {
    dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null
}

debs=("$package_dir/${package}_${version}_"*.deb)
[ -f "${debs[0]}" ] || fail "no package ${package}_${version}_*.deb in $package_dir; run 'make package' first"
[ ${#debs[@]} -eq 1 ] || fail "more than one package for $version in $package_dir: ${debs[*]}"
deb=${debs[0]}
echo "package: $deb"

# One run at a time: two builds testing at once would install and remove under each other.
exec 9>"${TMPDIR:-/tmp}/zimbrana-package-test.lock"
flock -w 300 9 || fail "another package test holds the lock for more than 5 minutes"

state=$(installed_state)
if [ -n "$state" ] && [ "$state" != "not-installed" ] && [ "$state" != "config-files" ]; then
    fail "$package is installed already ($state); this test would replace it. Remove it first: dpkg -P $package"
fi

work=$(mktemp -d)
cleanup() {
    local state
    state=$(installed_state)
    if [ -n "$state" ] && [ "$state" != "not-installed" ]; then
        echo "cleanup: purging $package ($state)"
        dpkg_waiting -P "$package" >/dev/null || echo "cleanup: could not purge $package" >&2
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# The dependencies were computed from the program, not typed: Qt's widget library must be among them.
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
grep -q "libqt6widgets6" <<<"$depends" || fail "the package does not depend on libqt6widgets6"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"

dpkg_waiting -i "$deb" || fail "dpkg -i failed"
[ "$(installed_state)" = "installed" ] || fail "$package is not installed after dpkg -i"

desktop=/usr/share/applications/$app_id.desktop
metainfo=/usr/share/metainfo/$app_id.metainfo.xml
examples=/usr/share/zimbrana/beispiel
for f in "$desktop" "$metainfo" "/usr/share/icons/hicolor/64x64/apps/$app_id.png" \
    "$examples/Preismatrix.dat" "$examples/REVORL.JPG"; do
    [ -f "$f" ] || fail "not installed: $f"
done
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo does not name release $version"

# Started as the menu starts it: the command of the desktop entry, found on the PATH.
command=$(sed -n 's/^Exec=//p' "$desktop")
program=$(PATH=/usr/bin:/bin command -v "$command") || fail "the menu command '$command' is not on the PATH"
echo "menu starts: $program"

# A host's first start: a home of its own, the example price list in the working folder, German
# settings, no screen, and nothing from the build's environment.
mkdir -p "$work/home" "$work/run" "$work/runtime"
chmod 700 "$work/runtime"
cp "$examples/Preismatrix.dat" "$work/run/"
run() {
    (cd "$work/run" && env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
        LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 QT_QPA_PLATFORM=offscreen timeout 60 "$program" "$@")
}

out=$(run --version 2>&1) || fail "'$command --version' failed: $out"
echo "$out"
grep -qx "Zimbrana $version" <<<"$out" || fail "--version does not say 'Zimbrana $version'"

title="Zimbrana Ver${version%.*}"
out=$(run --self-test 2>&1)
status=$?
echo "$out"
[ $status -eq 0 ] || fail "the installed program did not show its window (exit $status)"
grep -q "^$title: Hauptfenster angezeigt" <<<"$out" || fail "the window's title is not '$title'"

dpkg_waiting -P "$package" || fail "dpkg -P failed"
[ "$(installed_state)" = "" ] || [ "$(installed_state)" = "not-installed" ] || fail "$package is still known to dpkg"
for f in "$program" "$desktop" "$metainfo" "$examples"; do
    [ ! -e "$f" ] || fail "left behind after removal: $f"
done
echo "installed, started and removed: $(basename "$deb")"

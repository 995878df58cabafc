#!/usr/bin/env bash
# The Debian package as a user gets it: built with cpack from the build tree into a temporary
# folder, its control fields and file list checked, unpacked into an empty root and the program
# installed there started offscreen with an empty home, so it reads no settings.
#
# The package is unpacked with `dpkg-deb -x` rather than installed with `dpkg --root`: it has no
# maintainer scripts, so both give the same files, and unpacking needs no dpkg database nor
# --force-depends. Installing it with its dependencies on a clean Debian system is what
# scripts/check-package does.
#
# Usage: tst_package.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$(realpath "$1")
source=$(realpath "$2")
version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# --- Build the package ---------------------------------------------------------------------
if ! (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out") \
    >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
fi
deb="$work/out/velmora_${version}_$(dpkg --print-architecture).deb"
if [[ ! -f "$deb" ]]; then
    ls -l "$work/out" >&2
    echo "FAIL: no $(basename "$deb")" >&2
    exit 1
fi
echo "Built $(basename "$deb"), $(stat -c %s "$deb") bytes"

# --- Control fields ------------------------------------------------------------------------
dpkg-deb -I "$deb"
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == velmora ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || fail "Version is '$(field Version)'"
[[ $(field Section) == net ]] || fail "Section is '$(field Section)'"
depends=$(field Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6webenginewidgets6 \
    fonts-comic-neue; do
    grep -Eq "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends does not name $library"
done

# --- Contents: the program, its desktop files and its documents, nothing else -------------
listing=$(dpkg-deb -c "$deb")
echo "$listing"
found=$(awk '$1 !~ /^d/ { print $6 }' <<<"$listing" | sort)
expected=(./usr/bin/velmora
          ./usr/share/applications/velmora.desktop
          ./usr/share/metainfo/velmora.metainfo.xml
          ./usr/share/doc/velmora/copyright
          ./usr/share/icons/hicolor/scalable/apps/velmora.svg)
for size in 16 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/velmora.png")
done
[[ -f "$source/resources/smileys/LICENSE.md" ]] &&
    expected+=(./usr/share/doc/velmora/smileys-LICENSE.md)
if ! diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$found") >"$work/contents.diff"; then
    fail "the package holds other files than expected (< expected, > found):"
    cat "$work/contents.diff" >&2
fi
grep -Eq '^-rwxr-xr-x .* \./usr/bin/velmora$' <<<"$listing" || fail "/usr/bin/velmora is not executable"

# --- Unpack into an empty root -------------------------------------------------------------
root="$work/root"
mkdir "$root"
dpkg-deb -x "$deb" "$root"
program="$root/usr/bin/velmora"

for size in 16 32 48 64 128 256; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/velmora.png"
    # Width and height are the two big-endian words after the PNG signature and chunk header.
    read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$png")
    [[ "$width x $height" == "$size x $size" ]] ||
        fail "the ${size}x${size} icon is ${width}x${height}"
done

desktop="$root/usr/share/applications/velmora.desktop"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -x "$root/usr/bin/$exec_name" ]] || fail "the desktop file starts '$exec_name', not in the package"
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon_name.svg" ]] ||
    fail "the desktop file's icon '$icon_name' is not in the package"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects velmora.desktop"
else
    echo "SKIP: desktop-file-validate is not installed (package desktop-file-utils)"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/velmora.metainfo.xml" ||
        fail "appstreamcli rejects velmora.metainfo.xml"
else
    echo "SKIP: appstreamcli is not installed"
fi

# --- The installed program stands on its own -----------------------------------------------
if readelf -d "$program" | grep -Eq 'RPATH|RUNPATH'; then
    fail "the installed program carries a library search path: $(readelf -d "$program" | grep -E 'RPATH|RUNPATH')"
fi
libraries=$(ldd "$program")
grep -q 'not found' <<<"$libraries" && fail "libraries not found: $(grep 'not found' <<<"$libraries")"
outside=$(awk '/=>/ && $3 !~ /^\/(usr\/)?lib/ { print $1 " => " $3 }' <<<"$libraries")
[[ -z "$outside" ]] || fail "libraries from outside the system's library folders: $outside"

home="$work/home"
mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/runtime"
chmod 700 "$home/runtime"
run_installed() {
    (cd "$home" && timeout 60 env -i PATH=/usr/bin:/bin HOME="$home" \
        XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
        XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/runtime" \
        QT_QPA_PLATFORM=offscreen "$program" "$@")
}

shown_version=$(run_installed --version) || fail "--version exited with $?"
[[ "$shown_version" == "Velmora Messenger $version" ]] ||
    fail "--version printed '$shown_version'"

status=0
shown=$(run_installed --check-start) || status=$?
echo "--check-start printed: ${shown//$'\n'/ } (exit code $status)"
[[ $status -eq 0 ]] || fail "--check-start exited with $status"
grep -qx mainfrm <<<"$shown" || fail "the launcher window (mainfrm) was not shown"

if [[ $failures -gt 0 ]]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "The package installs and the installed program starts."

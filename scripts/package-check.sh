#!/usr/bin/env bash
# Builds the Debian package as a distribution would (Debian's compiler and
# hardening flags, no tests), checks it with lintian, installs it with apt, runs
# the installed program headless on the demo camera and removes it again.
# Needs root for apt-get (CI runs as root).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/package
started=$SECONDS

cd "$root"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
cflags="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
    -DHOUNDLY_TESTS=OFF -DHOUNDLY_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_C_FLAGS="$cflags" \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/houndly_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/houndly_*_amd64.deb)
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) kB), built in $((SECONDS - started)) s"
dpkg-deb --field "$deb" Depends Recommends

# Errors fail the build; warnings and the rest are shown for a person to judge.
lintian --fail-on error --display-level ">=info" "$deb"
appstreamcli validate --no-net "$build/packaging/org.tarnwell.houndly.metainfo.xml"
desktop-file-validate "$root/packaging/org.tarnwell.houndly.desktop"

# Installed as a user would, run once, and removed.
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -qq "$@"; }
apt_get install "$deb" >/dev/null
trap 'apt_get remove houndly >/dev/null' EXIT
houndly --version
# The Japanese font the package depends on holds every character of the texts.
mapfile -t font_files < <(dpkg -L fonts-ipaexfont-gothic | grep -E '\.(ttf|otf)$')
"$root/scripts/font-coverage.py" "$root" "${font_files[@]}"
# Headless on the demo camera with a quick intruder: the installed program finds
# its sounds and guide in share/houndly, raises an alarm and saves on SIGTERM.
home=$(mktemp -d)
printf '[COM]\nTIMER=5\nCKSUM=10\nSOUND=bark.wav\n' >"$home/houndly.ini"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOUNDLY_HOME="$home" HOUNDLY_DEMO_PERIOD=5 \
    timeout --preserve-status -s TERM 8 houndly --headless --camera demo >"$home/out.txt" || status=$?
cat "$home/out.txt"
grep -q "started: camera demo; .*sound /usr/share/houndly/media/bark.wav" "$home/out.txt" &&
    grep -q "alarm: count" "$home/out.txt" && grep -q "stopped$" "$home/out.txt" &&
    [[ $status -eq 0 && -f $home/houndly.ini && -f $home/help/guide_en.html ]] || {
    echo "the installed houndly ended with $status, or its lines, settings or guide in $home are not as they should be" >&2
    exit 1
}
rm -rf "$home"
apt_get remove houndly >/dev/null
trap - EXIT
if [[ $(dpkg-query -W -f='${Status}' houndly 2>/dev/null) == "install ok installed" || -e /usr/bin/houndly ]]; then
    echo "houndly is still there after removing its package" >&2
    exit 1
fi
echo "package installed, run and removed in $((SECONDS - started)) s"

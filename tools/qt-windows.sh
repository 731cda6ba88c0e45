#!/usr/bin/env bash
# Builds a static Qt 5.15.8 for Windows (QtCore and QtNetwork, no Gui, no
# Widgets) with MinGW-w64 from Debian's own source package, into a cache
# folder that later runs reuse:
#   tools/qt-windows.sh            builds into $VELMORA_QT_WINDOWS or
#                                  ~/.cache/velmora/qt-windows-5.15.8
# The source comes from Debian's deb-src of the machine's own Debian mirror,
# fetched with an apt state of its own: the system's package lists stay as
# they are. Prints the build's time and size.
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
. "$VELMORA_TOP/tools/deps.sh"
velmora_deps "${VELMORA_WINDOWS_PACKAGES[@]}" dpkg-dev make perl python3 xz-utils
prefix=${VELMORA_QT_WINDOWS:-$HOME/.cache/velmora/qt-windows-5.15.8}
version=5.15.8
fail() { echo "qt-windows: $*" >&2; exit 1; }

if [ -f "$prefix/.built" ]; then
    echo "Qt $version for Windows: $prefix (from the cache, $(du -sh "$prefix" | cut -f1))"
    exit 0
fi
work=$prefix.work
rm -rf "$work" "$prefix"
mkdir -p "$work"
start=$SECONDS

# --- the source, from the mirror the machine already uses ---
mirror=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" { print $2; exit }' /etc/apt/sources.list 2>/dev/null || true)
[ -n "$mirror" ] || fail "no Debian mirror in /etc/apt: the Qt source cannot be fetched"
apt=$work/apt
mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm main" > "$apt/sources.list"
aptopts=(-o "Dir::State=$apt" -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
         -o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
         -o "Dir::State::status=/var/lib/dpkg/status" -o "APT::Sandbox::User=root")
apt-get "${aptopts[@]}" -qq update || fail "the source list of $mirror cannot be read (no network to it?)"
(cd "$work" && apt-get "${aptopts[@]}" -qq source --download-only qtbase-opensource-src) \
    || fail "the source package qtbase-opensource-src cannot be fetched from $mirror"
orig=$(ls "$work"/qtbase-opensource-src_${version}*.orig.tar.xz 2>/dev/null | head -1)
[ -n "$orig" ] || fail "the source fetched is not Qt $version: $(ls "$work")"
tar -xJf "$orig" -C "$work"
src=$(ls -d "$work"/qtbase-everywhere-src-* | head -1)
echo "source fetched and unpacked in $((SECONDS - start)) s"

# --- the build: the -posix compilers, under the names Qt's make files call ---
mkdir -p "$work/bin" "$work/build"
for tool in gcc g++; do
    ln -sf "$(command -v x86_64-w64-mingw32-$tool-posix)" "$work/bin/x86_64-w64-mingw32-$tool"
done
export PATH=$work/bin:$PATH
cd "$work/build"
# Debian's tarball leaves out the bundled SQLite and the Wintab header.
"$src/configure" -prefix "$prefix" -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
    -static -static-runtime -release -opensource -confirm-license -nomake examples -nomake tests \
    -no-gui -no-widgets -no-opengl -no-dbus -no-icu -qt-zlib -qt-pcre \
    -no-sql-sqlite -no-sql-odbc -no-sql-psql -no-sql-mysql -no-feature-tabletevent >"$work/configure.log" 2>&1 \
    || fail "configure failed: see $work/configure.log"
nice -n 10 make -j"$(nproc)" >"$work/make.log" 2>&1 || fail "the build failed: see $work/make.log"
make install >"$work/install.log" 2>&1 || fail "the install failed: see $work/install.log"
touch "$prefix/.built"
rm -rf "$work"
echo "Qt $version for Windows built in $((SECONDS - start)) s: $prefix ($(du -sh "$prefix" | cut -f1))"

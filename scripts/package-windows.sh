#!/usr/bin/env bash
# Makes build-windows/veldra-windows-x64.zip: what a draughtsperson unpacks into a folder
# of its own and registers in the host as an external command. The two programs (window
# and command line), Qt's DLLs and the plugins they load, the compiler's runtime, Qt's
# Japanese texts, the host's batch file and a Japanese read-me (code page 932, CR LF),
# and the licence texts. Builds what it needs (scripts/windows/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${BUILD_WINDOWS_DIR:-build-windows}
mapfile -t built < <(bash scripts/windows/build.sh)
DEPS=${built[0]}
FULL=${built[1]}
STRIP=x86_64-w64-mingw32-strip
GCC_RUNTIME=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")

STAGE=$ROOT/$BUILD/package/Veldra
rm -rf "$ROOT/$BUILD/package"
mkdir -p "$STAGE"/plugins/{platforms,imageformats,styles} "$STAGE/translations"
cp "$FULL/bin/veldra.exe" "$FULL/bin/veldra-cli.exe" "$STAGE/"
for dll in Qt6Core Qt6Gui Qt6Widgets; do cp "$DEPS/bin/$dll.dll" "$STAGE/"; done
cp "$DEPS/plugins/platforms/qwindows.dll" "$STAGE/plugins/platforms/"
cp "$DEPS"/plugins/imageformats/q{gif,ico,jpeg}.dll "$STAGE/plugins/imageformats/"
cp "$DEPS"/plugins/styles/*.dll "$STAGE/plugins/styles/" 2>/dev/null || true
cp "$GCC_RUNTIME"/{libstdc++-6,libgcc_s_seh-1}.dll "$STAGE/"
cp /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$STAGE/"
cp /usr/share/qt6/translations/qtbase_ja.qm "$STAGE/translations/"
printf '[Paths]\r\nPrefix=.\r\nPlugins=plugins\r\nTranslations=translations\r\n' >"$STAGE/qt.conf"
find "$STAGE" -name '*.exe' -o -name '*.dll' | xargs "$STRIP" --strip-unneeded

# Texts for Windows: code page 932 and CR LF, as the host and Notepad expect them.
to_windows() { sed 's/$/\r/' "$1" | iconv -f UTF-8 -t CP932 >"$2"; }
to_windows scripts/windows/veldra.bat "$STAGE/veldra.bat"
to_windows scripts/windows/readme-ja.txt "$STAGE/はじめにお読みください.txt"
to_windows LICENSE "$STAGE/COPYING.txt"
to_windows /usr/share/common-licenses/LGPL-3 "$STAGE/LICENSE.LGPL-3.txt"
{
    echo "Veldra $(git describe --always --dirty 2>/dev/null || echo unknown)"
    echo "Qt $(apt-cache showsrc qt6-base | awk '/^Version:/ {print $2; exit}') (Debian qt6-base)"
    echo "GMP $(apt-cache showsrc gmp | awk '/^Version:/ {print $2; exit}') (Debian gmp)"
    echo "MPFR $(apt-cache showsrc mpfr4 | awk '/^Version:/ {print $2; exit}') (Debian mpfr4)"
    echo "CGAL $(dpkg-query -W -f='${Version}' libcgal-dev) (Debian libcgal-dev)"
} | sed 's/$/\r/' >"$STAGE/VERSION.txt"

# Python's zip writer marks the Japanese names as UTF-8, which Windows' own unpacker reads.
ZIP=$ROOT/$BUILD/veldra-windows-x64.zip
/usr/bin/python3 - "$ROOT/$BUILD/package" "$ZIP" <<'PY'
import os, sys, zipfile
root, out = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(out + ".part", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for folder, _, files in sorted(os.walk(root)):
        for name in sorted(files):
            path = os.path.join(folder, name)
            z.write(path, os.path.relpath(path, root))
os.replace(out + ".part", out)
PY
echo "$ZIP ($(du -h "$ZIP" | cut -f1); $(du -sh "$STAGE" | cut -f1) unpacked)"

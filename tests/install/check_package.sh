#!/usr/bin/env bash
# Installs the build into a scratch folder and builds its Debian package, then checks what a
# desktop needs: both programs, the desktop entry for *.eep files, the icon and the file type,
# and a package that conflicts with the other builds.
#   check_package.sh <build folder> <package name>
set -euo pipefail
build="$1"
package="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/stage" >/dev/null
for file in bin/capcode-programmer bin/ccp share/applications/capcode-programmer.desktop \
  share/icons/hicolor/scalable/apps/capcode-programmer.svg share/mime/packages/capcode-programmer.xml; do
  [ -e "$work/stage/$file" ] || { echo "not installed: $file"; exit 1; }
done
grep -qx 'MimeType=application/x-qpx730-configuration;' \
  "$work/stage/share/applications/capcode-programmer.desktop" || { echo "desktop entry"; exit 1; }
grep -q 'pattern="\*.eep"' "$work/stage/share/mime/packages/capcode-programmer.xml" ||
  { echo "no *.eep file type"; exit 1; }
"$work/stage/bin/ccp" --version >/dev/null

if ! log="$(cd "$build" && cpack -G DEB -B "$work/deb" 2>&1)"; then
  echo "$log"
  exit 1
fi
deb="$(ls "$work"/deb/*.deb)"
[ "$(dpkg-deb -f "$deb" Package)" = "$package" ] || { echo "package name"; exit 1; }
conflicts="$(dpkg-deb -f "$deb" Conflicts)"
for other in capcode-programmer-qpx730e-customer capcode-programmer-qpx730e-factory \
  capcode-programmer-qpx730h-customer capcode-programmer-qpx730h-factory; do
  [ "$other" = "$package" ] && continue
  case ", $conflicts," in *", $other,"*) ;; *) echo "does not conflict with $other"; exit 1 ;; esac
done
contents="$(dpkg-deb -c "$deb")"
grep -q './usr/bin/ccp$' <<<"$contents" || { echo "ccp not in the package"; exit 1; }
echo "installed and packaged: $(basename "$deb")"

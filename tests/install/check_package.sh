#!/usr/bin/env bash
# Installs the build into a scratch folder and builds its Debian package, then checks what a
# desktop needs: both programs, their manual pages, the desktop entry for *.eep files, the icon
# and the file type, ccp's completion and the lp group's real-time limit; a package that
# conflicts with the other builds and that lintian accepts without errors or warnings.
#   check_package.sh <build folder> <package name>
set -euo pipefail
build="$1"
package="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/stage" >/dev/null
files=(bin/capcode-programmer bin/ccp share/applications/capcode-programmer.desktop
  share/icons/hicolor/scalable/apps/capcode-programmer.svg share/mime/packages/capcode-programmer.xml
  share/man/man1/capcode-programmer.1.gz share/man/man1/ccp.1.gz share/bash-completion/completions/ccp)
for file in "${files[@]}" etc/security/limits.d/capcode-programmer.conf; do
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
for file in "${files[@]/#/usr/}" etc/security/limits.d/capcode-programmer.conf; do
  grep -q " \./$file\$" <<<"$contents" || { echo "not in the package: $file"; exit 1; }
done
grep -q '^@lp[[:space:]]*-[[:space:]]*rtprio[[:space:]]*10$' \
  "$work/stage/etc/security/limits.d/capcode-programmer.conf" || { echo "no rtprio for lp"; exit 1; }

command -v lintian >/dev/null || { echo "lintian is missing (scripts/packages.sh installs it)"; exit 1; }
as_root=()
[ "$(id -u)" -eq 0 ] && as_root=(--allow-root)
if ! log="$(lintian "${as_root[@]}" --fail-on error,warning "$deb" 2>&1)"; then
  echo "lintian refuses the package:"
  echo "$log"
  exit 1
fi
echo "installed and packaged: $(basename "$deb")"

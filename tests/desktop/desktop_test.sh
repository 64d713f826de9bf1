#!/usr/bin/env bash
# The installed program as the desktop sees it, one case per run:
#   desktop_test.sh CASE BUILD_DIR
# Each case installs the build into a prefix of its own under a temporary
# directory and checks it with the desktop's own tools.
set -euo pipefail
case_name=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix

fail() { echo "FAIL: $*" >&2; exit 1; }

install_prefix() {
  cmake --install "$build" --prefix "$prefix" >/dev/null
}

# A model of our own: the demo aircraft the build's tool wrote.
model=$(cd "$here/../.." && pwd)/samples/demo/biplane.bin

case $case_name in
install)
  install_prefix
  for f in bin/zorvik lib/*/zorvik/zorvik-viewer.so lib/*/zorvik/zorvik-render.so \
           share/zorvik/sanfran.pal share/zorvik/seattle.pal \
           share/applications/zorvik.desktop share/mime/packages/zorvik.xml \
           share/icons/hicolor/scalable/apps/zorvik.svg \
           share/thumbnailers/zorvik.thumbnailer share/man/man1/zorvik.1.gz \
           share/metainfo/org.zorvik.Zorvik.metainfo.xml share/bash-completion/completions/zorvik \
           share/zsh/vendor-completions/_zorvik share/doc/zorvik/copyright \
           share/doc/zorvik/changelog.gz; do
    # shellcheck disable=SC2086 # the glob finds the multiarch folder
    [ -f "$(echo $prefix/$f)" ] || fail "$f is not installed"
  done
  for size in 16 22 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/zorvik.png
    [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "$icon is not ${size}px"
  done
  # The installed program finds its modules and its palettes from bin/.
  "$prefix/bin/zorvik" info "$model" --palette 1 >/dev/null || fail "info --palette from the prefix"
  "$prefix/bin/zorvik" render "$model" "$tmp/r.png" --size 64x48 2>/dev/null || fail "render from the prefix"
  [ "$(identify -format '%wx%h' "$tmp/r.png")" = 64x48 ] || fail "render wrote no picture"
  # Nothing of the build's portable layout went along.
  [ ! -e "$prefix/bin/zorvik.cfg" ] && [ ! -e "$prefix/bin/sanfran.pal" ] || fail "portable files in bin/"
  # The manual page reads without warnings and carries the program's
  # version and a date.
  page=$(gzip -dc "$prefix/share/man/man1/zorvik.1.gz")
  [ -z "$(groff -man -ww -z <<<"$page" 2>&1)" ] || fail "zorvik.1 warns"
  th=$(grep '^\.TH' <<<"$page")
  version=$("$prefix/bin/zorvik" --version)
  [[ $th == *"\"Zorvik ${version#zorvik }\""* && $th =~ \"[0-9]{4}-[0-9]{2}-[0-9]{2}\" ]] ||
    fail "the manual page's title line: $th (program: $version)"
  ;;
desktop-entry)
  install_prefix
  desktop-file-validate "$prefix/share/applications/zorvik.desktop"
  grep -qx 'MimeType=model/x-lgmd;' "$prefix/share/applications/zorvik.desktop" || fail "MimeType"
  ;;
mime)
  install_prefix
  data=$tmp/data
  mkdir -p "$data/mime/packages"
  cp "$prefix/share/mime/packages/zorvik.xml" "$data/mime/packages/"
  update-mime-database "$data/mime" >/dev/null 2>&1
  cp "$model" "$tmp/x.bin"
  printf 'MZ\x90\x00 a firmware image, not a model\n' >"$tmp/y.bin"
  cp "$model" "$tmp/named otherwise.dat"
  # xdg-mime asks the desktop's own library: File::MimeInfo outside a
  # desktop session, GIO in GNOME.
  for desktop in "" GNOME; do
    query() { XDG_DATA_HOME=$data XDG_CURRENT_DESKTOP=$desktop xdg-mime query filetype "$1"; }
    [ "$(query "$tmp/x.bin")" = model/x-lgmd ] || fail "x.bin is $(query "$tmp/x.bin") (${desktop:-generic})"
    [ "$(query "$tmp/y.bin")" != model/x-lgmd ] || fail "y.bin is a model (${desktop:-generic})"
    [ "$(query "$tmp/named otherwise.dat")" = model/x-lgmd ] || fail "the magic alone (${desktop:-generic})"
  done
  ;;
thumbnailer)
  install_prefix
  exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/thumbnailers/zorvik.thumbnailer")
  grep -qx 'MimeType=model/x-lgmd;' "$prefix/share/thumbnailers/zorvik.thumbnailer" || fail "MimeType"
  mkdir -p "$tmp/a folder"
  cp "$model" "$tmp/a folder/my plane.bin"
  # As a file manager runs it: %s the size, %i the file, %o the output,
  # %u the file's URI, each quoted for the shell, the program from PATH.
  q() { printf "'%s'" "$1"; }
  cmd=${exec_line//%s/256}
  cmd=${cmd//%i/$(q "$tmp/a folder/my plane.bin")}
  cmd=${cmd//%o/$(q "$tmp/thumb out.png")}
  cmd=${cmd//%u/$(q "file://$tmp/a%20folder/my%20plane.bin")}
  errors=$(PATH=$prefix/bin:$PATH sh -c "$cmd" 2>&1) || fail "thumbnailer failed: $errors"
  [ -z "$errors" ] || fail "thumbnailer spoke: $errors"
  [ "$(identify -format '%wx%h %[channels]' "$tmp/thumb out.png")" = "256x256 srgba" ] ||
    fail "thumbnail is $(identify -format '%wx%h %[channels]' "$tmp/thumb out.png")"
  ;;
first-start)
  install_prefix
  export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config
  mkdir -p "$HOME"
  bash "$here/../support/run_with_xvfb.sh" bash "$here/first_start.sh" "$prefix/bin/zorvik" "$tmp"
  [ "$(cat "$XDG_CONFIG_HOME/zorvik/zorvik.cfg")" = "$(printf 'Region 0\nBkgndClr 0 0 0\nLastOpenDir -')" ] ||
    fail "zorvik.cfg: $(cat "$XDG_CONFIG_HOME/zorvik/zorvik.cfg" 2>&1)"
  grep -q '^w=' "$XDG_CONFIG_HOME/zorvik/window.conf" || fail "the window's size was not kept"
  [ ! -e "$prefix/bin/zorvik.cfg" ] || fail "wrote beside the installed program"
  ;;
appstream)
  install_prefix
  metainfo=$prefix/share/metainfo/org.zorvik.Zorvik.metainfo.xml
  appstreamcli validate --no-net "$metainfo"
  # It names the menu entry that is installed beside it, the version the
  # program gives and the file type the desktop knows.
  entry=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
  [ -f "$prefix/share/applications/$entry" ] || fail "launchable $entry is not installed"
  version=$("$prefix/bin/zorvik" --version)
  grep -q "<release version=\"${version#zorvik }\"" "$metainfo" || fail "no release $version"
  grep -q '<mediatype>model/x-lgmd</mediatype>' "$metainfo" || fail "no media type"
  ;;
completion)
  install_prefix
  bash "$here/completion_test.sh" "$prefix/share/bash-completion/completions/zorvik" "$prefix/bin"
  zsh "$here/zsh_completion_test.zsh" "$prefix/share/zsh/vendor-completions" "$prefix/bin"
  ;;
deb)
  (cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >/dev/null)
  deb=$(ls "$tmp"/pkg/zorvik_*.deb)
  contents=$(dpkg-deb -c "$deb")
  multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
  for f in ./usr/bin/zorvik ./usr/lib/$multiarch/zorvik/zorvik-viewer.so ./usr/share/zorvik/seattle.pal \
           ./usr/share/applications/zorvik.desktop ./usr/share/mime/packages/zorvik.xml \
           ./usr/share/thumbnailers/zorvik.thumbnailer ./usr/share/man/man1/zorvik.1.gz \
           ./usr/share/icons/hicolor/48x48/apps/zorvik.png ./usr/share/doc/zorvik/copyright \
           ./usr/share/doc/zorvik/changelog.gz ./usr/share/metainfo/org.zorvik.Zorvik.metainfo.xml; do
    grep -q " $f\$" <<<"$contents" || fail "$f is not in the package"
  done
  # The version is the program's, the description one paragraph under its
  # summary, and no maintainer script runs ldconfig for the private modules.
  version=$("$build/zorvik" --version)
  [ "$(dpkg-deb -f "$deb" Version)" = "${version#zorvik }" ] || fail "package version"
  ! dpkg-deb -f "$deb" Description | grep -q '^ *;' || fail "description lines start with ;"
  dpkg-deb -e "$deb" "$tmp/control"
  ! grep -rqs ldconfig "$tmp/control" || fail "maintainer scripts call ldconfig"
  # Stripped: no debugging sections left in the program.
  dpkg-deb -x "$deb" "$tmp/root"
  ! readelf -S "$tmp/root/usr/bin/zorvik" | grep -q '\.debug_info' || fail "zorvik is not stripped"
  # The desktop's caches belong to their own packages, never to ours.
  ! grep -q 'mime.cache\|mimeinfo.cache\|icon-theme.cache' <<<"$contents" || fail "caches packaged"
  dpkg-deb -f "$deb" Depends | grep -q libwx || fail "no dependency on the toolkit"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "desktop $case_name: passed"

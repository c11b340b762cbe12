#!/usr/bin/env bash
# Checks what a packager and a user get from the normal build (build/): the installed layout in a
# scratch prefix, the installed tools at work, the desktop entry and AppStream metainfo, the Debian
# package's contents and dependencies, and the installed program's first start with an empty HOME.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
scratch=$(mktemp -d)
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --build "$build" --target rovik rovik-cli rovik_start_files >/dev/null
prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

id=org.example.Rovik
installed=(bin/rovik bin/rovik-cli share/rovik/SampleQA.TXT share/rovik/SampleQA.pdb share/rovik/rovikhelp.html
           share/applications/$id.desktop share/metainfo/$id.metainfo.xml
           share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png
           share/man/man1/rovik-cli.1)
for f in "${installed[@]}"; do
  [ -s "$prefix/$f" ] || fail "not installed: $f"
done

echo "== installed rovik-cli"
"$prefix/bin/rovik-cli" --help | grep -q "^usage: rovik-cli COMMAND" || fail "rovik-cli --help"
"$prefix/bin/rovik-cli" to-pdb "$prefix/share/rovik/SampleQA.TXT" "$scratch/SampleQA.pdb" >/dev/null
"$prefix/bin/rovik-cli" to-text "$scratch/SampleQA.pdb" "$scratch/SampleQA.TXT" >/dev/null
"$prefix/bin/rovik-cli" check "$scratch/SampleQA.TXT" >/dev/null || fail "the converted sample does not check"
cmp -s "$prefix/share/rovik/SampleQA.TXT" "$scratch/SampleQA.TXT" || fail "the sample changed on its way through a PDB"

echo "== desktop entry, metainfo, man page"
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null
[ -z "$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$prefix/share/man/man1/rovik-cli.1" 2>&1)" ] || fail "man page warnings"

echo "== Debian package"
rm -f "$build"/rovik_*.deb
(cd "$build" && cpack -G DEB >/dev/null 2>&1) || fail "cpack -G DEB failed"
debs=("$build"/rovik_*.deb)
[ -f "${debs[0]}" ] || fail "cpack wrote no rovik_*.deb"
listing=$(dpkg-deb -c "${debs[0]}")
for f in "${installed[@]}"; do
  grep -q " \./usr/$f\$" <<<"$listing" || fail "not in the package: /usr/$f"
done
depends=$(dpkg-deb -f "${debs[0]}" Depends)
for d in libqt6widgets6 libqt6charts6 qt6-qpa-plugins qt6-translations-l10n fonts-ipafont-gothic fonts-noto-cjk; do
  grep -q "$d" <<<"$depends" || fail "the package does not depend on $d: $depends"
done
recommends=$(dpkg-deb -f "${debs[0]}" Recommends)
for r in xdg-utils fcitx5-frontend-qt6; do
  grep -q "$r" <<<"$recommends" || fail "the package does not recommend $r: $recommends"
done

echo "== installed rovik: first start with an empty HOME, then a start that keeps the user's files"
home="$scratch/home"
mkdir -p "$home"
# Starts the installed program offscreen until the sample PDB is in the start folder, then stops it.
start_installed() {
  (cd "$scratch" && HOME="$home" QT_QPA_PLATFORM=offscreen exec "$prefix/bin/rovik" >>"$scratch/rovik.log" 2>&1) &
  app=$!
  for _ in $(seq 100); do
    [ -s "$home/Rovik/SampleQA.pdb" ] && break
    sleep 0.1
  done
  kill "$app" 2>/dev/null || fail "the installed rovik did not stay up: $(cat "$scratch/rovik.log")"
  wait "$app" 2>/dev/null || true
  app=
}
start_installed
for f in SampleQA.TXT SampleQA.pdb rovikhelp.html; do
  cmp -s "$prefix/share/rovik/$f" "$home/Rovik/$f" || fail "the start folder lacks $f"
done
echo "the user's own help" >"$home/Rovik/rovikhelp.html"
rm "$home/Rovik/SampleQA.pdb"
start_installed
[ "$(cat "$home/Rovik/rovikhelp.html")" = "the user's own help" ] || fail "the user's file was overwritten"
cmp -s "$prefix/share/rovik/SampleQA.pdb" "$home/Rovik/SampleQA.pdb" || fail "a deleted file was not given back"
echo "check-install: all passed"

#!/usr/bin/env bash
# The Debian package as a user gets it: made by cpack from the build, unpacked into a temporary
# root, and run from there by a user whose HOME is a temporary folder.
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
# cpack's archive library names files by the locale; the shipped data has Chinese file names.
export LC_ALL=C.UTF-8
build=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# As the README says: cd build && LC_ALL=C.UTF-8 cpack -G DEB
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb="$build/vbgen_${version}_$(dpkg --print-architecture).deb"
[[ -f $deb ]] || { ls "$build"; fail "no package named like Debian's default: $deb"; }

# Dependencies come from dpkg-shlibdeps.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libsqlite3-0 libqt6widgets6 libstdc++6; do
  [[ $depends == *"$lib "* || $depends == *"$lib," || $depends == *"$lib" ]] || fail "Depends lacks $lib: $depends"
done

# Debian's own checks: any error or warning fails, and so does a lintian that cannot run.
lintian --tag-display-limit 0 --fail-on error,warning "$deb" \
  >"$work/lintian.out" 2>"$work/lintian.err" || { cat "$work/lintian.out" "$work/lintian.err"; fail "lintian"; }
[[ ! -s $work/lintian.out ]] || { cat "$work/lintian.out"; fail "lintian reports tags"; }

root="$work/root"
dpkg-deb -x "$deb" "$root"
[[ $(ls "$root/usr/bin") == $'vbgen\nvbgen-cli' ]] || fail "bin holds: $(ls "$root/usr/bin")"
for path in share/vbgen/template/MainForm.frm share/vbgen/bak/ModMain.bas \
            share/vbgen/examples/library.json share/vbgen/guide/index.html \
            share/vbgen/images/banner.png share/applications/vbgen.desktop \
            share/metainfo/io.github.tavorin.vbgen.metainfo.xml \
            share/icons/hicolor/scalable/apps/vbgen.svg share/man/man1/vbgen.1.gz \
            share/man/man1/vbgen-cli.1.gz share/bash-completion/completions/vbgen-cli \
            share/doc/vbgen/copyright share/doc/vbgen/changelog.gz; do
  [[ -f $root/usr/$path ]] || fail "missing /usr/$path"
done
for page in vbgen vbgen-cli; do
  [[ ! -e $root/usr/share/man/man1/$page.1 ]] || fail "an uncompressed man page: $page.1"
  text=$(MANWIDTH=80 man -l "$root/usr/share/man/man1/$page.1.gz" 2>&1) || fail "man $page: $text"
  [[ $text == *NAME*"$page "* ]] || fail "man $page shows: $text"
done
# A version bump that forgets the changelog ships a package whose changelog names another one.
latest=$(zcat "$root/usr/share/doc/vbgen/changelog.gz" | head -1)
[[ $latest == "vbgen ($version) "* ]] || fail "the changelog's latest entry is not $version: $latest"
for size in 16 22 24 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/vbgen.png"
  [[ $(file -b "$icon") == "PNG image data, $size x $size,"* ]] || fail "icon $size: $(file -b "$icon")"
done
[[ ! -e $root/usr/share/vbgen/projects.db ]] || fail "a model ships in the package"
desktop-file-validate "$root/usr/share/applications/vbgen.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.tavorin.vbgen.metainfo.xml" >/dev/null
bash -n "$root/usr/share/bash-completion/completions/vbgen-cli"

# cmake --install puts the same files in place.
cmake --install "$build" --prefix "$work/installed" >/dev/null
[[ $(cd "$work/installed" && find . | sort) == $(cd "$root/usr" && find . | sort) ]] ||
  fail "cmake --install and the package differ"

# The unpacked programs, run by a user with nothing but a HOME.
home="$work/home"
mkdir "$home"
before=$(cd "$root" && find . -printf '%p %s %T@\n' | sort)
as_user() { (cd "$home" && env -i PATH=/usr/bin:/bin HOME="$home" "$@"); }
[[ $(as_user "$root/usr/bin/vbgen-cli" --version) == "vbgen-cli $version" ]] || fail "vbgen-cli --version"
[[ $(as_user "$root/usr/bin/vbgen" --version) == "vbgen $version" ]] || fail "vbgen --version"
as_user "$root/usr/bin/vbgen-cli" generate 图书馆管理 >"$work/run.log" || { cat "$work/run.log"; fail "generate"; }
out="$home/.local/share/vbgen/projects/图书馆管理"
for file in vb信息管理系统.vbp MainForm.frm frmczql.frm FrmAddBook.frm FrmManageLoan.frm ModMain.bas; do
  [[ -f $out/$file ]] || fail "not generated: $file"
done
[[ $(as_user "$root/usr/bin/vbgen-cli" project list) == $'1\t图书馆管理' ]] || fail "the example model"
after=$(cd "$root" && find . -printf '%p %s %T@\n' | sort)
[[ $before == "$after" ]] || fail "the unpacked program's files changed"
outside=$(cd "$home" && find . -mindepth 1 -not -path './.local' -not -path './.local/share' \
          -not -path './.local/share/vbgen' -not -path './.local/share/vbgen/*')
[[ -z $outside ]] || fail "written outside the data folder: $outside"
# The window, started by another user on the offscreen platform, makes its model in the same place.
gui_home="$work/gui-home"
mkdir "$gui_home"
set +e
(cd "$gui_home" && env -i PATH=/usr/bin:/bin HOME="$gui_home" QT_QPA_PLATFORM=offscreen \
  timeout 5 "$root/usr/bin/vbgen" >"$work/gui.log" 2>&1)
status=$?
set -e
[[ $status == 124 ]] || { cat "$work/gui.log"; fail "vbgen stopped with $status"; }
[[ $(env -i HOME="$gui_home" "$root/usr/bin/vbgen-cli" project list) == $'1\t图书馆管理' ]] ||
  fail "the window's model"
env -i "$root/usr/bin/vbgen" --bogus >/dev/null 2>&1 && fail "vbgen --bogus"
[[ $? == 2 ]] || fail "vbgen --bogus exit status"
env -i "$root/usr/bin/vbgen" --help | grep -q 'vbgen --version' || fail "vbgen --help"
echo "package $(basename "$deb") ok: $(dpkg-deb -f "$deb" Installed-Size) KiB installed"

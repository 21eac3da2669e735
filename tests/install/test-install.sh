#!/usr/bin/env bash
# Installs Darvex into a scratch DESTDIR, builds the Debian package and checks what a desktop
# and a package manager will see: the files, the validators, the MIME type, the man pages, the
# bash completion and the one version. Usage: test-install.sh BUILD_DIR
set -uo pipefail
# The programs' texts are checked in English, whatever the machine's locale.
export LANGUAGE=en

src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: test-install.sh BUILD_DIR}" && pwd)
cli="$build/darvex-cli"
gui="$build/darvex"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*"
}
# check NAME COMMAND...: the command must succeed.
check() {
    local name=$1
    shift
    if "$@" >"$work/out" 2>&1; then pass; else
        fail "$name"
        sed 's/^/    /' "$work/out" | head -20
    fi
}
# expect_eq NAME WANT GOT
expect_eq() {
    if [ "$2" == "$3" ]; then pass; else fail "$1: want '$2', got '$3'"; fi
}
have() { command -v "$1" >/dev/null 2>&1; }

[ -x "$cli" ] || { echo "test-install: $cli not built" >&2; exit 1; }
has_gui=0
[ -x "$gui" ] && has_gui=1
# The desktop program may need a display even for --help; a time limit keeps a window that
# waits for a click from stopping the test.
run_gui() {
    if [ -n "${DISPLAY:-}" ] || ! have xvfb-run; then
        timeout 30 "$gui" "$@"
    else
        timeout 30 xvfb-run -a "$gui" "$@"
    fi
}

# --- The one version -------------------------------------------------------------------------
version=$(sed -n 's/^project(Darvex VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
[ -n "$version" ] || { echo "test-install: no version in CMakeLists.txt" >&2; exit 1; }
about=$(echo "$version" | sed 's/^\([0-9]*\)\.\([0-9]*\)\.\([0-9]\)$/\1.\2\3/')
expect_eq "darvex-cli --version" "darvex-cli $version" "$("$cli" --version 2>&1)"
grep -q "kDarvexAboutVersion\[\] = \"$about\"" "$build/generated/Version.h" && pass ||
    fail "Version.h gives the about-box form $about"
if [ $has_gui = 1 ]; then
    out=$(run_gui --version 2>&1)
    [[ $out == *"$version"* ]] && pass || fail "darvex --version names $version: $out"
fi

# --- Install into a DESTDIR ------------------------------------------------------------------
root="$work/root"
check "cmake --install" env DESTDIR="$root" cmake --install "$build" --prefix /usr
share="$root/usr/share"
app_id=$(sed -n 's/^DARVEX_APP_ID:STRING=//p' "$build/CMakeCache.txt")
sizes="16 24 32 48 64 128 256"
{
    echo usr/bin/darvex-cli
    echo usr/share/man/man1/darvex-cli.1.gz
    echo usr/share/mime/packages/darvex.xml
    echo usr/share/bash-completion/completions/darvex-cli
    echo usr/share/doc/darvex/copyright
    echo usr/share/doc/darvex/changelog.gz
    echo usr/share/locale/ja/LC_MESSAGES/darvex.mo
    for n in $sizes; do
        echo "usr/share/icons/hicolor/${n}x$n/apps/darvex.png"
        echo "usr/share/icons/hicolor/${n}x$n/mimetypes/application-x-d88-floppy-image.png"
    done
    echo usr/share/icons/hicolor/scalable/apps/darvex.svg
    echo usr/share/icons/hicolor/scalable/mimetypes/application-x-d88-floppy-image.svg
    if [ $has_gui = 1 ]; then
        echo usr/bin/darvex
        echo usr/share/man/man1/darvex.1.gz
        echo usr/share/applications/darvex.desktop
        echo "usr/share/metainfo/$app_id.metainfo.xml"
    fi
} | sort >"$work/expected"
(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/installed"
check "installed files are exactly the expected ones" diff "$work/expected" "$work/installed"

for n in $sizes; do
    for icon in apps/darvex mimetypes/application-x-d88-floppy-image; do
        f="$share/icons/hicolor/${n}x$n/$icon.png"
        [[ $(file -b "$f" 2>&1) == "PNG image data, $n x $n,"* ]] && pass ||
            fail "$icon.png at ${n}x$n is a $n px PNG: $(file -b "$f" 2>&1)"
    done
done

# --- Desktop file and AppStream data ---------------------------------------------------------
desktop="$src/res/darvex.desktop"
metainfo="$build/generated/$app_id.metainfo.xml"
if [ $has_gui = 1 ]; then
    desktop="$share/applications/darvex.desktop"
    metainfo="$share/metainfo/$app_id.metainfo.xml"
fi
# Hints are advice; errors and warnings fail.
out=$(desktop-file-validate "$desktop" 2>&1)
rc=$?
if [ $rc -eq 0 ] && ! grep -qE ': (error|warning):' <<<"$out"; then pass; else
    fail "desktop-file-validate $desktop: $out"
fi
for key in 'Exec=darvex %f' 'MimeType=application/x-d88-floppy-image;' 'Icon=darvex' \
    'Name=Darvex' 'Categories=Utility;Emulator;'; do
    grep -qxF "$key" "$desktop" && pass || fail "desktop file has $key"
done
grep -q '^Comment\[ja\]=' "$desktop" && grep -q '^Comment=' "$desktop" && pass ||
    fail "desktop file has English and Japanese comments"
check "appstreamcli validate" appstreamcli validate --no-net "$metainfo"
grep -q "<release version=\"$version\"" "$metainfo" && pass || fail "AppStream release $version"
grep -q '<content_rating type="oars-1.1"' "$metainfo" && pass || fail "AppStream content rating"
[ "$(grep -c '<caption>' "$metainfo")" -ge 1 ] && pass || fail "AppStream screenshot captions"
grep -q '<project_license>MIT</project_license>' "$metainfo" && pass || fail "AppStream licence MIT"
grep -qx 'License: MIT' "$root/usr/share/doc/darvex/copyright" && pass || fail "copyright names MIT"
grep -q '^MIT License' "$src/LICENSE" && pass || fail "LICENSE is the MIT licence"

# --- The MIME type: glob matching through the shared-mime-info database ------------------------
data="$work/data"
mkdir -p "$data/mime/packages"
cp "$share/mime/packages/darvex.xml" "$data/mime/packages/"
check "update-mime-database" update-mime-database "$data/mime"
# Content that no magic rule claims, so only the name decides.
head -c 688 /dev/zero | tr '\0' '\1' >"$work/body"
for name in disk.d88 DISK.D88 disk.d20 DISK.D20 Mixed.D88; do
    cp "$work/body" "$work/$name"
    got=$(XDG_DATA_DIRS="$data:/usr/share" XDG_DATA_HOME="$work/nohome" \
        gio info -a standard::content-type "$work/$name" 2>&1 | sed -n 's/.*content-type: //p')
    expect_eq "gio content type of $name" application/x-d88-floppy-image "$got"
done
for name in disk.d88 DISK.D20; do
    got=$(XDG_CURRENT_DESKTOP=GNOME XDG_DATA_DIRS="$data:/usr/share" \
        XDG_DATA_HOME="$work/nohome" xdg-mime query filetype "$work/$name" 2>&1)
    expect_eq "xdg-mime filetype of $name" application/x-d88-floppy-image "$got"
done
cp "$work/body" "$work/disk.d89"
got=$(XDG_DATA_DIRS="$data:/usr/share" XDG_DATA_HOME="$work/nohome" \
    gio info -a standard::content-type "$work/disk.d89" 2>&1 | sed -n 's/.*content-type: //p')
[ "$got" != application/x-d88-floppy-image ] && pass || fail "disk.d89 is no D88 image"
grep -qx 'application/x-d88-floppy-image:media-floppy' "$data/mime/generic-icons" && pass ||
    fail "generic icon media-floppy"
grep -q 'D88 フロッピーディスクイメージ' "$data/mime/application/x-d88-floppy-image.xml" &&
    pass || fail "Japanese comment of the MIME type"

# A plain install (a user's ~/.local) refreshes the MIME database itself.
check "cmake --install to a prefix" cmake --install "$build" --prefix "$work/prefix"
got=$(XDG_DATA_DIRS="$work/prefix/share:/usr/share" XDG_DATA_HOME="$work/nohome" \
    gio info -a standard::content-type "$work/DISK.D88" 2>&1 | sed -n 's/.*content-type: //p')
expect_eq "content type after a plain install" application/x-d88-floppy-image "$got"

# --- Man pages -------------------------------------------------------------------------------
render() { # PAGE.gz -> plain text; warnings of groff and man go to $work/warn
    MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 "$1" 2>"$work/warn" | col -bx
}
man_gui="$build/generated/man/darvex.1.gz"
[ $has_gui = 1 ] && man_gui="$share/man/man1/darvex.1.gz"
for page in "$share/man/man1/darvex-cli.1.gz" "$man_gui"; do
    render "$page" >"$work/page.txt"
    if [ -s "$work/page.txt" ] && [ ! -s "$work/warn" ]; then pass; else
        fail "$(basename "$page") renders without warnings: $(head -5 "$work/warn")"
    fi
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS 'EXIT STATUS' FILES EXAMPLES; do
        grep -qx "$section" "$work/page.txt" && pass || fail "$(basename "$page") has $section"
    done
    grep -q "$version" "$work/page.txt" && pass || fail "$(basename "$page") names $version"
done

render "$share/man/man1/darvex-cli.1.gz" >"$work/cli.txt"
commands=$("$cli" --help | sed -n '/^Subcommands:/,$p' | awk 'NR > 1 && NF { print $1 }')
[ "$(echo "$commands" | wc -w)" -ge 10 ] && pass || fail "darvex-cli --help lists the commands"
for c in $commands; do
    # A command is documented where its own entry starts: "       put IMAGE ...".
    grep -qE "^ {7}$c( |$)" "$work/cli.txt" && pass || fail "darvex-cli.1 documents $c"
    for opt in $("$cli" "$c" --help | grep -oE '^ +(-[a-z],)?--?[a-z][a-z-]*' |
        sed 's/.*,//; s/ //g'); do
        grep -qE "(^|[ [|])$opt( |\]|,|$)" "$work/cli.txt" && pass ||
            fail "darvex-cli.1 documents $c $opt"
    done
done
render "$man_gui" >"$work/gui.txt"
gui_flags="-p -pt -dde -Embedding -Automation -Unregister -Unregserver --help --version"
if [ $has_gui = 1 ]; then
    gui_flags+=" $(run_gui --help 2>&1 | grep -oE '(^|[ ,])--?[A-Za-z][A-Za-z-]*' |
        sed 's/^[ ,]//' | sort -u | tr '\n' ' ')"
fi
for opt in $gui_flags; do
    grep -qE "(^|[ ,|])$opt( |,|$)" "$work/gui.txt" && pass || fail "darvex.1 documents $opt"
done
if [ $has_gui = 1 ]; then
    out=$(LANGUAGE=ja run_gui --help 2>&1)
    [[ $out == *"この説明を表示します"* ]] && pass || fail "darvex --help in Japanese: $out"
fi
for f in Darvex.conf DEBUG.TXT; do
    grep -qF "$f" "$work/gui.txt" && pass || fail "darvex.1 names $f"
done

# --- Bash completion -------------------------------------------------------------------------
# complete WORDS...: the candidates bash offers for the last word, one a line, sorted.
complete_words() {
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
             _darvex_cli; printf "%s\n" "${COMPREPLY[@]}" | sort' \
        _ "$share/bash-completion/completions/darvex-cli" "$@"
}
got=$(complete_words darvex-cli '' | grep -v '^-' | tr '\n' ' ')
expect_eq "completion of the commands" "$(echo $commands | tr ' ' '\n' | sort | tr '\n' ' ')" "$got"
expect_eq "completion of boot-" "boot-get boot-put" "$(complete_words darvex-cli boot- | xargs)"
for c in $commands; do
    offered=$(complete_words darvex-cli "$c" img.d88 -)
    for opt in $("$cli" "$c" --help | grep -oE '^ +(-[a-z],)?--?[a-z][a-z-]*' |
        sed 's/.*,//; s/ //g'); do
        grep -qx -- "$opt" <<<"$offered" && pass || fail "completion offers $c $opt"
    done
done
modes=$("$cli" put --help | grep -oE '\{[a-z>,0-9-]*->[^}]*\}' | tr '{},' '   ' |
    tr ' ' '\n' | sed -n 's/->.*//p' | sort | xargs)
expect_eq "completion of put --mode" "$modes" "$(complete_words darvex-cli put a.d88 x --mode '' | xargs)"
mkdir -p "$work/files/sub"
touch "$work/files/a.d88" "$work/files/B.D20" "$work/files/notes.txt"
expect_eq "IMAGE completes disk images and folders" \
    "$work/files/B.D20 $work/files/a.d88 $work/files/sub" \
    "$(complete_words darvex-cli info "$work/files/" | xargs)"
expect_eq "HOSTFILE completes any file" \
    "$work/files/B.D20 $work/files/a.d88 $work/files/notes.txt $work/files/sub" \
    "$(complete_words darvex-cli put x.d88 --name N "$work/files/" | xargs)"

# --- The Debian package ----------------------------------------------------------------------
rm -f "$build"/darvex_*.deb
check "cpack builds the package" cpack -G DEB --config "$build/CPackConfig.cmake" -B "$build"
deb=$(ls "$build"/darvex_"$version"_*.deb 2>/dev/null | head -1)
if [ -z "$deb" ]; then
    fail "darvex_${version}_<arch>.deb exists"
else
    pass
    expect_eq "package file name" "darvex_${version}_$(dpkg --print-architecture).deb" \
        "$(basename "$deb")"
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort \
        >"$work/in-deb"
    check "dpkg-deb -c lists the installed files" diff "$work/expected" "$work/in-deb"
    expect_eq "package version" "$version" "$(dpkg-deb -f "$deb" Version)"
    expect_eq "package recommends" fonts-ipafont-gothic "$(dpkg-deb -f "$deb" Recommends)"
    [[ $(dpkg-deb -f "$deb" Depends) == *libc6* ]] && pass || fail "shlibdeps Depends on libc6"
    if [ $has_gui = 1 ]; then
        [[ $(dpkg-deb -f "$deb" Depends) == *wx3.2-i18n* ]] && pass ||
            fail "the package Depends on wx3.2-i18n (wx's own texts translated)"
    fi
    for field in Section Priority Maintainer Description Homepage; do
        [ -n "$(dpkg-deb -f "$deb" "$field")" ] && pass || fail "package has $field"
    done
    # No maintainer scripts: dpkg's file triggers register what lies in these folders.
    expect_eq "control files" "control md5sums" \
        "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep . | sort | xargs)"
    if [ -r /var/lib/dpkg/triggers/File ]; then
        for dir in usr/share/mime/packages usr/share/icons/hicolor usr/share/applications; do
            grep -q "^$dir/" "$work/in-deb" || continue
            grep -q "^/$dir " /var/lib/dpkg/triggers/File && pass ||
                fail "a dpkg trigger watches /$dir"
        done
    fi
    if have lintian; then
        lintian --fail-on none "$deb" >"$work/lintian" 2>&1
        if grep -q '^E: ' "$work/lintian"; then
            fail "lintian reports errors"
            grep '^E: ' "$work/lintian" | sed 's/^/    /'
        else
            pass
        fi
    else
        echo "SKIP: lintian not installed"
    fi
fi

# --- Installing the package: dpkg's triggers register everything --------------------------------
# Only as root with private mount namespaces: /usr, /var and /etc are overlaid with scratch
# layers inside the namespace, so the machine itself never sees the package.
if [ -n "$deb" ] && [ "$(id -u)" -eq 0 ] && have unshare && have findmnt; then
    cat >"$work/in-namespace.sh" <<'INNER'
set -eu
deb=$1 layers=$2 probe=$3
for d in usr var etc; do
    mkdir -p "$layers/$d-up" "$layers/$d-work"
    mount -t overlay overlay \
        -o "lowerdir=/$d,upperdir=$layers/$d-up,workdir=$layers/$d-work" "/$d" 2>/dev/null || exit 3
    [ "$(findmnt -n -o FSTYPE "/$d")" = overlay ] || exit 3
done
dpkg -i "$deb" >/dev/null 2>&1 || { echo "dpkg -i failed"; exit 1; }
echo "filetype=$(XDG_CURRENT_DESKTOP=GNOME XDG_DATA_HOME="$layers/nohome" xdg-mime query filetype "$probe")"
echo "default=$(XDG_CURRENT_DESKTOP=GNOME XDG_DATA_HOME="$layers/nohome" \
    xdg-mime query default application/x-d88-floppy-image)"
echo "icon=$(XDG_DATA_HOME="$layers/nohome" gio info -a standard::icon "$probe" |
    sed -n 's/.*standard::icon: //p')"
echo "man=$(man -w darvex-cli)"
echo "path=$(command -v darvex-cli)"
INNER
    unshare --mount --propagation private bash "$work/in-namespace.sh" "$deb" "$work/layers" \
        "$work/DISK.D88" >"$work/ns.out" 2>&1
    rc=$?
    if [ $rc -eq 3 ]; then
        echo "SKIP: no overlay mounts in a private namespace here; package not installed"
    else
        expect_eq "dpkg -i in a private namespace" 0 "$rc"
        expect_eq "installed: file type of a .D88 file" \
            "filetype=application/x-d88-floppy-image" "$(grep '^filetype=' "$work/ns.out")"
        [ $has_gui = 1 ] && expect_eq "installed: .d88 files open in Darvex" \
            "default=darvex.desktop" "$(grep '^default=' "$work/ns.out")"
        [[ $(grep '^icon=' "$work/ns.out") == icon=application-x-d88-floppy-image,* ]] && pass ||
            fail "installed: the document icon comes first: $(grep '^icon=' "$work/ns.out")"
        expect_eq "installed: man darvex-cli" "man=/usr/share/man/man1/darvex-cli.1.gz" \
            "$(grep '^man=' "$work/ns.out")"
        expect_eq "installed: darvex-cli on the path" "path=/usr/bin/darvex-cli" \
            "$(grep '^path=' "$work/ns.out")"
    fi
else
    echo "SKIP: installing the package needs root and unshare"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

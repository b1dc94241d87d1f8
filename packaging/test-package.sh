#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian packages in a configured build folder and checks what they install:
#
#   packaging/test-package.sh [BUILD_FOLDER]      (default: build; configure it with scripts/build)
#
# Both packages, tessivane and tessivane-preview, are unpacked with dpkg -x into one scratch root,
# and the check fails unless each holds exactly the expected files, the editor links no part of
# the browser engine, the installed preview shows a page written by the installed tool, the desktop entry passes desktop-file-validate, the file type
# definition is accepted by update-mime-database, the icons have their pixel sizes, the manual
# page covers every option that the tool and each of its commands list in --help, the Depends
# fields (from dpkg-shlibdeps) name the Qt 6 libraries and are met by this system's packages, the
# installed programs run, and the copyright files give the project's MIT licence in Debian's
# machine-readable format.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

failures=0
ok() { echo "ok    $*"; }
bad() {
    echo "FAIL  $*"
    failures=$((failures + 1))
}
check() {  # check DESCRIPTION COMMAND...: runs the command quietly, reports the result
    local description=$1
    shift
    if "$@" >/dev/null 2>&1; then ok "$description"; else bad "$description"; fi
}

if [ ! -f "$build/CPackConfig.cmake" ]; then
    echo "test-package: $build is not a configured build folder (run scripts/build $build)" >&2
    exit 2
fi
build=$(cd "$build" && pwd)

# The package, built afresh from an up-to-date build.
cmake --build "$build" -j2
rm -f "$build"/tessivane_*.deb "$build"/tessivane-preview_*.deb
log=$(mktemp)
if ! (cd "$build" && cpack -G DEB) >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "test-package: cpack failed" >&2
    exit 1
fi
rm -f "$log"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
arch=$(dpkg --print-architecture)
deb=$build/tessivane_${version}_$arch.deb
preview_deb=$build/tessivane-preview_${version}_$arch.deb
for package in "$deb" "$preview_deb"; do
    if [ -z "$version" ] || [ ! -f "$package" ]; then
        echo "test-package: cpack did not write $package" >&2
        ls "$build"/*.deb >&2 || true
        exit 1
    fi
    echo "== $package"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
dpkg -x "$preview_deb" "$root"
usr=$root/usr

# Control fields.
field() { dpkg-deb -f "${2:-$deb}" "$1"; }
for package in "$deb" "$preview_deb"; do
    name=$(basename "$package" | cut -d_ -f1)
    check "package name is $name" test "$(field Package "$package")" = "$name"
    check "$name: version is $version" test "$(field Version "$package")" = "$version"
    check "$name: section is utils" test "$(field Section "$package")" = utils
    check "$name: maintainer is the Tessivane authors" \
        test "$(field Maintainer "$package")" = "The Tessivane authors"
    check "$name: has a summary and a description" \
        test "$(field Description "$package" | wc -l)" -gt 2
done
check "tessivane recommends the preview and Qt's translations" \
    test "$(field Recommends)" = "tessivane-preview, qt6-translations-l10n"

# Exactly the expected files, owned by root, with the usual modes.
expected=$(
    cat <<'EOF'
-rw-r--r-- ./usr/share/applications/tessivane.desktop
-rw-r--r-- ./usr/share/doc/tessivane/copyright
-rw-r--r-- ./usr/share/icons/hicolor/16x16/apps/tessivane.png
-rw-r--r-- ./usr/share/icons/hicolor/256x256/apps/tessivane.png
-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/tessivane.png
-rw-r--r-- ./usr/share/icons/hicolor/48x48/apps/tessivane.png
-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/tessivane.svg
-rw-r--r-- ./usr/share/man/man1/tessivane-cli.1.gz
-rw-r--r-- ./usr/share/metainfo/org.tessivane.Tessivane.metainfo.xml
-rw-r--r-- ./usr/share/mime/packages/tessivane-htt.xml
-rwxr-xr-x ./usr/bin/tessivane
-rwxr-xr-x ./usr/bin/tessivane-cli
EOF
)
preview_expected=$(
    cat <<'EOF'
-rw-r--r-- ./usr/share/doc/tessivane-preview/copyright
-rwxr-xr-x ./usr/bin/tessivane-preview
EOF
)
for package in "$deb" "$preview_deb"; do
    name=$(basename "$package" | cut -d_ -f1)
    wanted=$expected
    [ "$package" = "$preview_deb" ] && wanted=$preview_expected
    contents=$(dpkg-deb -c "$package")
    actual=$(awk '$1 !~ /^d/ { print $1, $6 }' <<<"$contents" | LC_ALL=C sort)
    if [ "$actual" = "$(LC_ALL=C sort <<<"$wanted")" ]; then
        ok "$name holds exactly the expected files"
    else
        bad "$name's files differ from the expected ones:"
        diff <(LC_ALL=C sort <<<"$wanted") <(echo "$actual") || true
    fi
    check "$name: every entry is owned by root/root" \
        test -z "$(awk '$2 != "root/root"' <<<"$contents")"
    check "$name: directories are 0755" \
        test -z "$(awk '$1 ~ /^d/ && $1 != "drwxr-xr-x"' <<<"$contents")"
done

# The copyright file: Debian's machine-readable format, every file under the MIT licence, whose
# text is the project's LICENSE.
check "the preview's copyright file is the editor's" \
    cmp "$usr/share/doc/tessivane/copyright" "$usr/share/doc/tessivane-preview/copyright"
copyright=$usr/share/doc/tessivane/copyright
check "the copyright file is in the machine-readable format" grep -qx \
    'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright"
check "the copyright file puts every file under the MIT licence" \
    bash -c "grep -A2 -x 'Files: \*' '$copyright' | grep -qx 'License: MIT'"
licence_text() {  # the licence's permission text, as plain lines without indentation
    sed 's/^ //' | sed -n '/^Permission is hereby granted/,$p' | sed '/^\.$/d; /^$/d'
}
check "the copyright file carries the text of LICENSE" \
    test "$(licence_text <"$copyright")" = "$(licence_text <LICENSE)"

# The programs: stripped, every library found, and the command-line tool works.
for program in tessivane tessivane-cli tessivane-preview; do
    check "$program is a stripped executable" \
        bash -c "file -b '$usr/bin/$program' | grep -q 'ELF.*executable.*, stripped'"
    check "$program finds all its libraries" \
        bash -c "ldd '$usr/bin/$program' && ! ldd '$usr/bin/$program' | grep -q 'not found'"
done
cli=$usr/bin/tessivane-cli
check "tessivane-cli --version prints $version" \
    test "$("$cli" --version 2>&1)" = "tessivane-cli $version"
"$cli" --version
check "tessivane-cli writes the built-in template" "$cli" template -o "$root/Folder.htt"
check "tessivane-cli shows the settings of the file it wrote" \
    bash -c "'$cli' show '$root/Folder.htt' | grep -qx 'textColour: Black'"

# The window program starts on the offscreen platform and is still running three seconds later,
# when timeout ends it (status 124); a missing library or a crash at start would end it sooner.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$usr/bin/tessivane" "$root/Folder.htt" >/dev/null 2>&1 ||
    status=$?
check "the installed tessivane starts and keeps running" test "$status" -eq 124
check "tessivane links no part of the browser engine" \
    bash -c "! ldd '$usr/bin/tessivane' | grep -qi webengine"

# The installed preview shows the page the installed tool wrote: it is fed the frames the editor
# sends, and its "shown" frame comes once the page is up. Its input stays open until then, as the
# does; when the input ends, it closes.
frame() { printf '%s %d\n' "$1" "$(wc -c <"$2")" && cat "$2"; }
printf '1' >"$root/version"
printf 'Folder.htt' >"$root/title"
printf '%s' "$root" >"$root/folder"
shown=$root/shown
(
    frame version "$root/version" && frame title "$root/title" && frame folder "$root/folder" &&
        frame document "$root/Folder.htt"
    for _ in $(seq 600); do
        [ -s "$shown" ] && break
        sleep 0.1
    done
) | QT_QPA_PLATFORM=offscreen timeout 90 "$usr/bin/tessivane-preview" >"$shown" \
    2>"$root/preview.log" || true
if grep -qx 'shown 0' "$shown"; then
    ok "the installed tessivane-preview shows a written template"
else
    bad "the installed tessivane-preview showed nothing:"
    tail -n 20 "$root/preview.log"
fi

# The desktop entry: valid, opens one file, and its icon and file type are in the package.
desktop=$usr/share/applications/tessivane.desktop
entry() { sed -n "s/^$1=//p" "$desktop"; }
# Hints and warnings count too: the entry should pass without a single remark.
if remarks=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$remarks" ]; then
    ok "desktop-file-validate accepts the desktop entry without a remark"
else
    bad "desktop-file-validate: $remarks"
fi
check "desktop entry is named Tessivane" test "$(entry Name)" = Tessivane
check "desktop entry has a German comment" test -n "$(entry 'Comment\[de\]')"

# The software centre's listing: valid, and naming the desktop entry it launches.
metainfo=$usr/share/metainfo/org.tessivane.Tessivane.metainfo.xml
check "appstreamcli validate accepts the metainfo" appstreamcli validate --no-net "$metainfo"
check "the metainfo launches the desktop entry" \
    grep -q '<launchable type="desktop-id">tessivane.desktop</launchable>' "$metainfo"
# The same listing as a build with TESSIVANE_DOCS_URL writes it: the screenshots of docs/.
with_screenshots=$(mktemp --suffix=.metainfo.xml)
cmake -DIN=packaging/tessivane.metainfo.xml.in -DOUT="$with_screenshots" \
    -DDOCS_URL=https://tessivane.example/docs/ -P packaging/metainfo.cmake
check "appstreamcli validate accepts the metainfo with screenshots" \
    appstreamcli validate --no-net "$with_screenshots"
for picture in screenshot screenshot-de preview; do
    check "the listing's $picture is docs/$picture.png" bash -c \
        "test -f docs/$picture.png && grep -q 'https://tessivane.example/docs/$picture.png</image>' '$with_screenshots'"
done
rm -f "$with_screenshots"
check "desktop entry starts tessivane with one file" test "$(entry Exec)" = "tessivane %f"
check "desktop entry is a desktop utility" bash -c "grep -qx 'Categories=.*Utility;.*' '$desktop'"
icon=$(entry Icon)
check "desktop entry's icon '$icon' is installed" \
    test -f "$usr/share/icons/hicolor/48x48/apps/$icon.png"

# The file type: the shared-mime-info tool accepts it, and the desktop entry claims it.
mime_xml=$usr/share/mime/packages/tessivane-htt.xml
mime_type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$mime_xml")
check "the file type definition names one type" test "$(wc -w <<<"$mime_type")" -eq 1
if update-mime-database "$usr/share/mime" >/dev/null 2>&1; then
    ok "update-mime-database accepts the file type definition"
else
    bad "update-mime-database rejects the file type definition"
fi
check "*.htt files are $mime_type" grep -qx "[0-9]*:$mime_type:\*\.htt" "$usr/share/mime/globs2"
check "$mime_type is a kind of text/html" grep -qx "$mime_type text/html" \
    "$usr/share/mime/subclasses"
check "desktop entry opens $mime_type" grep -qx -- "$mime_type" <<<"$(entry MimeType | tr ';' '\n')"

# The icons, one per size, each a PNG of that many pixels square.
for size in 16 32 48 256; do
    png=$usr/share/icons/hicolor/${size}x${size}/apps/tessivane.png
    check "icon ${size}x${size} is a ${size} x ${size} PNG" \
        bash -c "file -b '$png' | grep -q '^PNG image data, $size x $size,'"
done

check "the scalable icon is an SVG picture" \
    bash -c "file -b '$usr/share/icons/hicolor/scalable/apps/tessivane.svg' | grep -q '^SVG'"

# The manual page: a page of section 1 that covers each command and every option that the tool's
# --help and each command's --help list (tests/cli checks packaging/tessivane-cli.1 the same way).
man_page=$usr/share/man/man1/tessivane-cli.1.gz
if man_text=$(gzip -dc "$man_page"); then
    ok "the manual page decompresses"
else
    bad "the manual page does not decompress"
fi
check "the manual page is tessivane-cli(1)" grep -q '^\.TH TESSIVANE-CLI 1 ' <<<"$man_text"
for command in template show write; do
    check "the manual page describes '$command'" grep -q "^\\\\fB$command\\\\fR" <<<"$man_text"
done
# Every option that the tool's --help lists, and each command's own --help, short or long.
for command in "" template show write; do
    options=$("$cli" ${command:+"$command"} --help | grep -oE -- '(^|[][ ,|])--?[a-z][a-z-]*' |
        sed 's/^[][ ,|]//' | LC_ALL=C sort -u)
    check "tessivane-cli${command:+ $command} --help lists options" test -n "$options"
    for option in $options; do
        roff=${option//-/\\-}
        check "the manual page describes $option (${command:-tessivane-cli} --help)" \
            grep -qF -- "$roff" <<<"$man_text"
    done
done

# Dependencies: computed by dpkg-shlibdeps, they name the Qt 6 libraries, and this Debian's
# installed packages meet every one of them; the preview needs the editor of its own version.
depends=$(field Depends)
preview_depends=$(field Depends "$preview_deb")
echo "Depends: $depends"
echo "tessivane-preview Depends: $preview_depends"
names() { tr ',' '\n' <<<"$1" | sed 's/^ *//'; }
for library in libqt6core6 libqt6gui6 libqt6widgets6; do
    check "Depends names $library" grep -q "^$library\b" <<<"$(names "$depends")"
done
check "tessivane does not depend on the browser engine" \
    bash -c "! grep -qi webengine <<<'$depends'"
check "tessivane-preview depends on tessivane $version" \
    grep -qx "tessivane (= $version)" <<<"$(names "$preview_depends")"
check "tessivane-preview depends on the browser engine" \
    grep -q '^libqt6webenginewidgets6\b' <<<"$(names "$preview_depends")"
IFS=',' read -ra relations <<<"$depends,$(names "$preview_depends" | grep -v '^tessivane ' |
    paste -sd,)"
for relation in "${relations[@]}"; do
    relation=${relation//[()]/}
    read -r name operator wanted <<<"$relation"
    installed=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null || true)
    if [ -z "$installed" ]; then
        bad "dependency $name is not an installed package"
    elif [ -n "${operator:-}" ] &&
        ! dpkg --compare-versions "$installed" "$operator" "$wanted"; then
        bad "dependency $name $operator $wanted is not met by $installed"
    else
        ok "dependency $name${operator:+ $operator $wanted} is met by $installed"
    fi
done

if [ "$failures" -ne 0 ]; then
    echo "test-package: $failures check(s) failed" >&2
    exit 1
fi
echo "test-package: every check passed"

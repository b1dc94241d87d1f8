#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package in a configured build folder and checks what it installs:
#
#   packaging/test-package.sh [BUILD_FOLDER]      (default: build; configure it with scripts/build)
#
# The package is unpacked with dpkg -x into a scratch root, and the check fails unless it holds
# exactly the expected files, the desktop entry passes desktop-file-validate, the file type
# definition is accepted by update-mime-database, the icons have their pixel sizes, the manual
# page covers every option that the tool and each of its commands list in --help, the Depends field (from dpkg-shlibdeps) names
# the Qt 6 libraries and is met by this system's packages, both installed programs run, and the
# copyright file gives the project's MIT licence in Debian's machine-readable format.
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
rm -f "$build"/tessivane_*.deb
log=$(mktemp)
if ! (cd "$build" && cpack -G DEB) >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "test-package: cpack failed" >&2
    exit 1
fi
rm -f "$log"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb=$build/tessivane_${version}_$(dpkg --print-architecture).deb
if [ -z "$version" ] || [ ! -f "$deb" ]; then
    echo "test-package: cpack did not write $deb" >&2
    ls "$build"/*.deb >&2 || true
    exit 1
fi
echo "== $deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
usr=$root/usr

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
check "package name is tessivane" test "$(field Package)" = tessivane
check "version is $version" test "$(field Version)" = "$version"
check "section is utils" test "$(field Section)" = utils
check "maintainer is the Tessivane authors" test "$(field Maintainer)" = "The Tessivane authors"
check "has a description" test -n "$(field Description)"

# Exactly the expected files, owned by root, with the usual modes.
expected=$(
    cat <<'EOF'
-rw-r--r-- ./usr/share/applications/tessivane.desktop
-rw-r--r-- ./usr/share/doc/tessivane/copyright
-rw-r--r-- ./usr/share/icons/hicolor/16x16/apps/tessivane.png
-rw-r--r-- ./usr/share/icons/hicolor/256x256/apps/tessivane.png
-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/tessivane.png
-rw-r--r-- ./usr/share/icons/hicolor/48x48/apps/tessivane.png
-rw-r--r-- ./usr/share/man/man1/tessivane-cli.1.gz
-rw-r--r-- ./usr/share/mime/packages/tessivane-htt.xml
-rwxr-xr-x ./usr/bin/tessivane
-rwxr-xr-x ./usr/bin/tessivane-cli
EOF
)
contents=$(dpkg-deb -c "$deb")
actual=$(awk '$1 !~ /^d/ { print $1, $6 }' <<<"$contents" | LC_ALL=C sort)
if [ "$actual" = "$(LC_ALL=C sort <<<"$expected")" ]; then
    ok "the package holds exactly the expected files"
else
    bad "the package's files differ from the expected ones:"
    diff <(LC_ALL=C sort <<<"$expected") <(echo "$actual") || true
fi
check "every entry is owned by root/root" test -z "$(awk '$2 != "root/root"' <<<"$contents")"
check "directories are 0755" test -z "$(awk '$1 ~ /^d/ && $1 != "drwxr-xr-x"' <<<"$contents")"

# The copyright file: Debian's machine-readable format, every file under the MIT licence, whose
# text is the project's LICENSE.
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
for program in tessivane tessivane-cli; do
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
# installed packages meet every one of them.
depends=$(field Depends)
echo "Depends: $depends"
for library in libqt6core6 libqt6gui6 libqt6widgets6; do
    check "Depends names $library" bash -c "tr ',' '\n' <<<'$depends' | grep -q '^ *$library\b'"
done
IFS=',' read -ra relations <<<"$depends"
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

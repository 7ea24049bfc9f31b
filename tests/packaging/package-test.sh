#!/usr/bin/env bash
# Makes the Debian package of a build and checks it as a user gets it: its files, what Debian's
# package checker lintian says of it, its desktop entry and metainfo, its manual pages and
# documents, and the unpacked program, which must start and keep its settings in
# $XDG_CONFIG_HOME.
#   package-test.sh CPACK BUILD_DIR APP_ID VERSION
set -euo pipefail

cpack=$1 build=$2 id=$3 version=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/qal-package.XXXXXX")
pid=
finish() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

if ! "$cpack" -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    fail "cpack could not make the package"
fi
deb=$(echo "$work"/out/qal-terminal_"$version"_*.deb)
[ -f "$deb" ] || fail "no package in $work/out"

# What the package holds.
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$work/files"
programs=(qal-terminal qal-cli qal-sim)
doc=/usr/share/doc/qal-terminal
expected=(
    "$doc/copyright" "$doc/changelog.gz"
    "/usr/share/applications/$id.desktop" "/usr/share/metainfo/$id.metainfo.xml"
    "/usr/share/icons/hicolor/scalable/apps/$id.svg"
)
for program in "${programs[@]}"; do
    expected+=("/usr/bin/$program" "/usr/share/man/man1/$program.1.gz")
done
for size in 16 22 24 32 48 64 128 256; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for file in "${expected[@]}"; do
    grep -qx "$file" "$work/files" || fail "the package lacks $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6serialport6 qt6-qpa-plugins; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

# Debian's own checks: errors and warnings fail; pedantic and informational tags are shown.
command -v lintian >"$work/lintian.path" || fail "lintian is not installed (scripts/install-deps.sh)"
status=0
lintian --display-info --pedantic --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
    status=$?
sed 's/^/lintian: /' "$work/lintian.log"
if [ "$status" != 0 ] || grep -q '^[EW]: ' "$work/lintian.log"; then
    fail "lintian found errors or warnings (status $status)"
fi

# Its desktop entry and metainfo, as desktop and software centres read them.
root=$work/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry"
grep -qx "Name=Program kontrolny QAL" "$root/usr/share/applications/$id.desktop" ||
    fail "the desktop entry's name"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >"$work/as.log" 2>&1 ||
    { cat "$work/as.log" >&2; fail "metainfo"; }

# The unpacked program: answers on its command line without a display, and keeps its settings
# in the user's folder, not beside itself.
terminal=$root/usr/bin/qal-terminal
export HOME=$work/home XDG_CONFIG_HOME=$work/config
unset DISPLAY WAYLAND_DISPLAY
settings=$XDG_CONFIG_HOME/qal-terminal/config.cfg
[ "$("$terminal" --version)" = "qal-terminal $version" ] || fail "--version"
"$terminal" --help | grep -qxF "Settings file: $settings (made when the settings are first saved)" ||
    fail "--help does not name $settings as still to be made"
status=0
"$terminal" --no-such-option 2>"$work/refused" || status=$?
[ "$status" = 2 ] || fail "an unknown option ended with $status, not 2"
grep -q "unknown option '--no-such-option'" "$work/refused" || fail "the refusal's message"

# The command-line tool runs without a display too.
"$root/usr/bin/qal-cli" --help | grep -q '^Usage: qal-cli' || fail "qal-cli --help"
status=0
"$root/usr/bin/qal-cli" 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "qal-cli without a command ended with $status, not 2"

# The manual pages render without complaint and name every option their program's --help
# names; the package's documents name what it links and who made it.
for program in "${programs[@]}"; do
    page=$root/usr/share/man/man1/$program.1.gz
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" >"$work/man.out" 2>"$work/man.err" ||
        fail "man could not show $program's page"
    [ ! -s "$work/man.err" ] || { cat "$work/man.err" >&2; fail "$program's page has warnings"; }
    "$root/usr/bin/$program" --help >"$work/help" || fail "$program --help"
    # Long options anywhere, short ones where an option line starts.
    options=$(grep -oE '(^|[][ (,|])--[a-z][a-z0-9-]*|^ +-[a-zA-Z]([ ,]|$)' "$work/help" |
        grep -oE -- '-+[a-zA-Z][a-z0-9-]*' | sort -u)
    [ -n "$options" ] || fail "no options found in $program --help"
    # The page's source with its options as typed: no minus escapes, no font changes.
    zcat "$page" | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' >"$work/page"
    for option in $options; do
        grep -qwF -- "$option" "$work/page" || fail "$program's manual page lacks $option"
    done
done
for library in $(grep -oE 'libqt6[a-z0-9]+' <<<"$depends" | sort -u) qt6-qpa-plugins; do
    grep -qw -- "$library" "$root$doc/copyright" || fail "the copyright file does not name $library"
done
maintainer=$(dpkg-deb -f "$deb" Maintainer)
zcat "$root$doc/changelog.gz" >"$work/changelog"
head -n 1 "$work/changelog" | grep -qF "qal-terminal ($version) " ||
    fail "the changelog does not start with version $version"
grep -qF -- " -- $maintainer  " "$work/changelog" || fail "the changelog is not signed by $maintainer"

mkdir -p "$(dirname "$settings")"
printf '\001\000\000\000\000\113\000\000\037\000\000\000' >"$settings" # port 1, 19200, address 31
cp "$settings" "$work/settings.before"
"$terminal" --help | grep -qxF "Settings file: $settings" || fail "--help does not find $settings"

QT_QPA_PLATFORM=offscreen "$terminal" >"$work/run.out" 2>"$work/run.err" &
pid=$!
for _ in $(seq 20); do
    sleep 0.1
    kill -0 "$pid" 2>/dev/null || { cat "$work/run.err" >&2; fail "the program ended at start"; }
done
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=
[ ! -e "$root/usr/bin/config.cfg" ] || fail "settings were written beside the installed program"
cmp -s "$settings" "$work/settings.before" || fail "the settings file changed"
echo "package $(basename "$deb") checked"

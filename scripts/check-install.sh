#!/usr/bin/env bash
# CI after the tests: the Debian packages, and the library built and used in every way a
# host builds it. Builds the packages with the stand-ins and checks their contents,
# dependencies, descriptions and documents; installs the stand-in SDK into a temporary
# prefix, builds the library again against it (VORN_HOST_PREFIX) and installs it beside;
# builds a small host application through find_package against that install and against
# the unpacked packages and runs both; builds and runs the example host of
# examples/minimal-host against the unpacked packages, checking the signals it prints; runs
# the packaged simulator. With VORN_QT_MAJOR=6 all of it against Qt 6: the packages named
# with -qt6, and host applications that find Qt 6 through the library's package.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/qtversion.sh"
pkg="$root/build-package$qt_suffix"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
multiarch="$(dpkg-architecture -qDEB_HOST_MULTIARCH)"
libdir="usr/lib/$multiarch"
library=libUI_Proc_VORN_TaskCmdProcess_Desktop
package=libui-proc-vorn-taskcmdprocess-desktop
version='[0-9.]+-[0-9]+'
# The Qt packages the library's packages depend on.
if [ "${VORN_QT_MAJOR:-5}" = 6 ]; then
    qt_runtime=('libqt6core6 \(>= 6\.4' 'libqt6qml6 ')
    qt_development=(qt6-base-dev qt6-declarative-dev)
else
    qt_runtime=('libqt5core5a \(>= 5\.15' 'libqt5qml5 ')
    qt_development=(qtbase5-dev qtdeclarative5-dev)
fi

# Fails unless every extended regular expression after the first argument matches a line of it.
require() {
    local text="$1" pattern
    shift
    for pattern; do
        if ! grep -qE -- "$pattern" <<<"$text"; then
            printf "check-install: no '%s' in:\n%s\n" "$pattern" "$text" >&2
            exit 1
        fi
    done
}
# Fails when the expression matches a line of the text.
forbid() {
    if grep -E -- "$2" <<<"$1" >&2; then
        echo "check-install: unexpected '$2'" >&2
        exit 1
    fi
}
# What every package carries besides its files: a description of its own, a maintainer
# with an address, and its copyright and changelog where Debian looks for them.
check_package_documents() {
    local deb="$1" name summary
    name="$(dpkg-deb -f "$deb" Package)"
    summary="$(dpkg-deb -f "$deb" Description)"
    summary="${summary%%$'\n'*}"
    [ -z "${summaries[$summary]:-}" ] \
        || { echo "check-install: $name has the description of ${summaries[$summary]}" >&2; exit 1; }
    summaries[$summary]="$name"
    require "$(dpkg-deb -f "$deb" Maintainer)" '^.+ <[^@ ]+@[^@ ]+>$'
    require "$(dpkg-deb -f "$deb" Version)" "^$version\$"
    require "$(dpkg-deb -c "$deb")" "\./usr/share/doc/$name/copyright\$" \
        "\./usr/share/doc/$name/changelog\.Debian\.gz\$" "\./usr/share/doc/$name/changelog\.gz\$"
}
# Builds the host application in the folder given through find_package, with the CMake
# arguments that follow, and checks that it links the Qt the library was built with.
build_host() {
    local source="$1" build="$2" program="$3"
    shift 3
    cmake -S "$source" -B "$build" "$@" >/dev/null
    cmake --build "$build" >/dev/null
    require "$(readelf -d "$build/$program")" "NEEDED.*\[libQt${VORN_QT_MAJOR:-5}Core\.so"
}

echo "== Debian packages"
"$root/scripts/package.sh" -DVORN_HOST_PREFIX= >/dev/null
deb_library=("$pkg/${package}1${qt_suffix}"_*.deb)
deb_development=("$pkg/$package$qt_suffix-dev"_*.deb)
deb_tools=("$pkg/vorn-keyboard-tools$qt_suffix"_*.deb)
deb_stand_ins=("$pkg/vorn-host-stand-ins$qt_suffix"_*.deb)
declare -A summaries
for deb in "${deb_library[@]}" "${deb_development[@]}" "${deb_tools[@]}" "${deb_stand_ins[@]}"; do
    check_package_documents "$deb"
done

contents="$(dpkg-deb -c "${deb_library[@]}")"
require "$(dpkg-deb -f "${deb_library[@]}" Depends)" "${qt_runtime[@]}"
require "$contents" "\./$libdir/$library\.so\.1\.[0-9.]+\$" "\./$libdir/$library\.so\.1 -> "
forbid "$contents" 'include/|cmake/|libModel_VOrn|\.so( |$)'
require "$(dpkg-deb -I "${deb_library[@]}" shlibs)" "^$library 1 ${package}1$qt_suffix "

contents="$(dpkg-deb -c "${deb_development[@]}")"
require "$(dpkg-deb -f "${deb_development[@]}" Depends)" \
    "${package}1$qt_suffix \\(= $version\\)" "${qt_development[@]}"
require "$contents" "\./$libdir/$library\.so -> $library\.so\.1\$" \
    '/include/UI_Proc_VORN_TaskCmdProcess_Desktop/uiprocdealkeypress_vorn_desktop\.h$' \
    '/include/UI_Proc_VORN_TaskCmdProcess_Desktop/public_vorn_taskcmdprocess_desktop\.h$' \
    "/$libdir/cmake/UI_Proc_VORN_TaskCmdProcess_Desktop/UI_Proc_VORN_TaskCmdProcess_DesktopConfig\.cmake\$" \
    '/FindVornHost\.cmake$'
forbid "$contents" 'vorn-host|model_vornparam|libModel_VOrn|\.so\.1\.'

contents="$(dpkg-deb -c "${deb_tools[@]}")"
require "$(dpkg-deb -f "${deb_tools[@]}" Depends)" \
    "${package}1$qt_suffix \\(= $version\\)" "${qt_runtime[1]}"
require "$contents" "\./usr/bin/keyboard-sim -> \.\./lib/$multiarch/vorn-keyboard-tools/keyboard-sim\$" \
    "\./$libdir/vorn-keyboard-tools/keyboard-sim\$" "\./$libdir/vorn-keyboard-tools/libModel_VOrn\.so\$"
forbid "$contents" "$library|include/"

contents="$(dpkg-deb -c "${deb_stand_ins[@]}")"
require "$(dpkg-deb -f "${deb_stand_ins[@]}" Depends)" "${qt_runtime[0]}" "${qt_development[0]}"
require "$(dpkg-deb -f "${deb_stand_ins[@]}" Description)" 'without the real host'
require "$contents" "\./$libdir/libModel_VOrn\.so\$" "\./$libdir/libUtility_Manage\.so\$" \
    "\./$libdir/libUI_Proc_VORN_Desktop\.so\$" "\./$libdir/libUI_Proc_Quarl\.so\$" \
    '\./usr/include/vorn-host/model_protocoldata\.h$' '\./usr/include/vorn-host/uiproctake\.h$'
forbid "$contents" "$library|bin/|vorn-keyboard-tools"

echo "== the library against the stand-in SDK installed in a prefix"
cmake --install "$pkg" --component host-sdk --prefix "$tmp/host" >/dev/null
cmake -S "$root" -B "$tmp/build" -DVORN_HOST_PREFIX="$tmp/host" -DCMAKE_INSTALL_PREFIX="$tmp/lib" \
    "$qt_cmake" >/dev/null
for skipped in host tools bench tests docs; do
    [ ! -e "$tmp/build/$skipped" ] || { echo "check-install: $skipped/ built against a host" >&2; exit 1; }
done
cmake --build "$tmp/build" -j "$(nproc)" >/dev/null
cmake --install "$tmp/build" >/dev/null
# The host's libraries lie elsewhere than the library: on the loader's path, as a host has them.
build_host "$root/tests/install" "$tmp/consumer-install" consumer \
    -DCMAKE_PREFIX_PATH="$tmp/lib" -DVORN_HOST_PREFIX="$tmp/host"
TMPDIR="$tmp" LD_LIBRARY_PATH="$tmp/host/lib/$multiarch" "$tmp/consumer-install/consumer"
# Without the host, find_package says how to give it, unless the stand-ins are installed.
if [ ! -e /usr/include/vorn-host ]; then
    if output="$(cmake -S "$root/tests/install" -B "$tmp/consumer-nohost" \
        -DCMAKE_PREFIX_PATH="$tmp/lib" 2>&1)"; then
        echo "check-install: the library's package was found without the host" >&2
        exit 1
    fi
    require "$output" 'Set VORN_HOST_PREFIX' 'vorn-host-stand-ins'
fi

echo "== the unpacked packages"
for deb in "${deb_library[@]}" "${deb_development[@]}" "${deb_tools[@]}" "${deb_stand_ins[@]}"; do
    dpkg -x "$deb" "$tmp/root"
done
# The stand-ins lie beside the library: found through the prefix and, at run time, by the
# library's RUNPATH.
build_host "$root/tests/install" "$tmp/consumer-packages" consumer -DCMAKE_PREFIX_PATH="$tmp/root/usr"
TMPDIR="$tmp" "$tmp/consumer-packages/consumer"
build_host "$root/examples/minimal-host" "$tmp/minimal-host" minimal-host \
    -DCMAKE_PREFIX_PATH="$tmp/root/usr"
printed="$(cd "$tmp" && TMPDIR="$tmp" QT_LOGGING_RULES='vorn.keyboard.debug=false' \
    "$tmp/minimal-host/minimal-host" 2>&1)"
require "$printed" '^qml: keyboard state true$' '^qml: serial number 1234$' \
    '^qml: tone processor 1\.02$' '^qml: OLED 405 7 0 Camera 2 Stage$' \
    '^qml: T-bar alpha 64 position 512$' '^qml: input 2$' '^qml: output 1$'
forbid "$printed" 'too fast|warning|vorn\.keyboard'

# The installed tools keep their state in the user's data folder, not beside the binary.
HOME="$tmp/home" XDG_DATA_HOME='' TMPDIR="$tmp" "$tmp/root/usr/bin/keyboard-sim" --fresh \
    >"$tmp/demo.out" 2>"$tmp/demo.log"
diff -u "$root/tests/keyboard-sim/traces/demo.expected" "$tmp/demo.out"
[ -f "$tmp/home/.local/share/vorn-keyboard-tools/Keyboard/VORN_KeyBoard_Config.ini" ] \
    || { echo "check-install: the simulator kept no configuration in the user's data folder" >&2; exit 1; }
[ ! -e "$tmp/root/$libdir/vorn-keyboard-tools/Keyboard" ] \
    || { echo "check-install: the simulator wrote beside its binary" >&2; exit 1; }
echo "check-install: all packages and builds good"

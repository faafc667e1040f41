#!/usr/bin/env bash
# CI after the tests: the Debian packages, and the library built and used in every way a
# host builds it. Builds the packages with the stand-ins and checks their contents and
# dependencies; installs the stand-in SDK into a temporary prefix, builds the library again
# against it (VORN_HOST_PREFIX) and installs it beside; builds a small host application
# through find_package against that install and against the unpacked packages, and runs
# both and the packaged simulator. With VORN_QT_MAJOR=6 all of it against Qt 6: the packages
# named with -qt6, and a host application that finds Qt 6 through the library's package.
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
# Builds the host application of tests/install against the library found in the prefix
# given, with the host from the stand-in SDK, and runs it with the host's libraries on the
# loader's path, as the host application has them.
run_consumer() {
    local build="$tmp/consumer-$1"
    cmake -S "$root/tests/install" -B "$build" -DCMAKE_PREFIX_PATH="$2" \
        -DVORN_HOST_PREFIX="$tmp/host" >/dev/null
    cmake --build "$build" >/dev/null
    require "$(readelf -d "$build/consumer")" "NEEDED.*\[libQt${VORN_QT_MAJOR:-5}Core\.so"
    TMPDIR="$tmp" LD_LIBRARY_PATH="$tmp/host/lib/$multiarch" "$build/consumer"
}

echo "== Debian packages"
"$root/scripts/package.sh" -DVORN_HOST_PREFIX= >/dev/null
deb_library=("$pkg/${package}1${qt_suffix}"_*.deb)
deb_development=("$pkg/$package$qt_suffix-dev"_*.deb)
deb_tools=("$pkg/vorn-keyboard-tools$qt_suffix"_*.deb)

contents="$(dpkg-deb -c "${deb_library[@]}")"
require "$(dpkg-deb -f "${deb_library[@]}" Depends)" "${qt_runtime[@]}"
require "$contents" "\./$libdir/$library\.so\.1\.[0-9.]+\$" "\./$libdir/$library\.so\.1 -> "
forbid "$contents" 'include/|cmake/|libModel_VOrn|\.so( |$)'
require "$(dpkg-deb -I "${deb_library[@]}" shlibs)" "^$library 1 ${package}1$qt_suffix "

contents="$(dpkg-deb -c "${deb_development[@]}")"
require "$(dpkg-deb -f "${deb_development[@]}" Depends)" \
    "${package}1$qt_suffix \\(= [0-9.]+\\)" "${qt_development[@]}"
require "$contents" "\./$libdir/$library\.so -> $library\.so\.1\$" \
    '/include/UI_Proc_VORN_TaskCmdProcess_Desktop/uiprocdealkeypress_vorn_desktop\.h$' \
    '/include/UI_Proc_VORN_TaskCmdProcess_Desktop/public_vorn_taskcmdprocess_desktop\.h$' \
    "/$libdir/cmake/UI_Proc_VORN_TaskCmdProcess_Desktop/UI_Proc_VORN_TaskCmdProcess_DesktopConfig\.cmake\$" \
    '/FindVornHost\.cmake$'
forbid "$contents" 'vorn-host|model_vornparam|libModel_VOrn|\.so\.1\.'

contents="$(dpkg-deb -c "${deb_tools[@]}")"
require "$(dpkg-deb -f "${deb_tools[@]}" Depends)" \
    "${package}1$qt_suffix \\(= [0-9.]+\\)" "${qt_runtime[1]}"
require "$contents" "\./usr/bin/keyboard-sim -> \.\./lib/$multiarch/vorn-keyboard-tools/keyboard-sim\$" \
    "\./$libdir/vorn-keyboard-tools/keyboard-sim\$" "\./$libdir/vorn-keyboard-tools/libModel_VOrn\.so\$"
forbid "$contents" "$library|include/"

echo "== the library against the stand-in SDK installed in a prefix"
cmake --install "$pkg" --component host-sdk --prefix "$tmp/host" >/dev/null
cmake -S "$root" -B "$tmp/build" -DVORN_HOST_PREFIX="$tmp/host" -DCMAKE_INSTALL_PREFIX="$tmp/lib" \
    "$qt_cmake" >/dev/null
for skipped in host tools bench tests; do
    [ ! -e "$tmp/build/$skipped" ] || { echo "check-install: $skipped/ built against a host" >&2; exit 1; }
done
cmake --build "$tmp/build" -j "$(nproc)" >/dev/null
cmake --install "$tmp/build" >/dev/null
run_consumer install "$tmp/lib"

echo "== the unpacked packages"
for deb in "${deb_library[@]}" "${deb_development[@]}" "${deb_tools[@]}"; do
    dpkg -x "$deb" "$tmp/root"
done
run_consumer packages "$tmp/root/usr"
TMPDIR="$tmp" "$tmp/root/usr/bin/keyboard-sim" --fresh >"$tmp/demo.out" 2>"$tmp/demo.log"
diff -u "$root/tests/keyboard-sim/traces/demo.expected" "$tmp/demo.out"
[ -f "$tmp/root/$libdir/vorn-keyboard-tools/Keyboard/VORN_KeyBoard_Config.ini" ] \
    || { echo "check-install: the simulator kept no configuration in its private folder" >&2; exit 1; }
echo "check-install: all packages and builds good"

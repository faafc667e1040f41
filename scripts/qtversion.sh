# Sourced by the build scripts. VORN_QT_MAJOR=6 in the environment builds against Qt 6
# in build folders of their own (build-qt6/, build-sanitize-qt6/, ...); unset or 5 builds
# against Qt 5.15 in the usual ones.
case "${VORN_QT_MAJOR:-5}" in
5) qt_suffix="" ;;
6) qt_suffix="-qt6" ;;
*) echo "VORN_QT_MAJOR must be 5 or 6, not '$VORN_QT_MAJOR'" >&2; exit 2 ;;
esac
qt_cmake="-DVORN_QT_MAJOR=${VORN_QT_MAJOR:-5}"

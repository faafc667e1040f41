# The Qt the project builds against, chosen here only: VORN_QT_MAJOR 5 (Qt 5.15, the
# default) or 6 (Qt 6.4 or later). Targets link Qt's versionless targets (Qt::Core,
# Qt::Qml, ...), which both provide, and find more modules with vorn_find_qt(Module...).
set(VORN_QT_MAJOR 5 CACHE STRING "Qt major version to build against: 5 or 6")
set_property(CACHE VORN_QT_MAJOR PROPERTY STRINGS 5 6)
if(VORN_QT_MAJOR STREQUAL 5)
    set(VORN_QT_MINIMUM 5.15)
elseif(VORN_QT_MAJOR STREQUAL 6)
    set(VORN_QT_MINIMUM 6.4)
else()
    message(FATAL_ERROR "VORN_QT_MAJOR is ${VORN_QT_MAJOR}; it must be 5 or 6")
endif()

macro(vorn_find_qt)
    find_package(Qt${VORN_QT_MAJOR} ${VORN_QT_MINIMUM} REQUIRED COMPONENTS ${ARGN})
endmacro()

# Finds the host application's libraries and their headers and makes each an imported
# target named like the library: Model_VOrn, Utility_Manage, UI_Proc_VORN_Desktop and
# UI_Proc_Quarl. Searches VORN_HOST_PREFIX first (DIR/include or DIR/include/vorn-host,
# DIR/lib or DIR/lib/<multiarch>), then the usual prefixes, where the package
# vorn-host-stand-ins puts the stand-ins. A target that already exists,
# as in a host that builds these libraries in the same project, is left as it is.
# The host's Qt is the one VORN_QT_MAJOR names (the library's package sets it), else Qt 5.

if(VORN_QT_MAJOR)
    find_package(Qt${VORN_QT_MAJOR} REQUIRED COMPONENTS Core)
else()
    find_package(Qt5 5.15 REQUIRED COMPONENTS Core)
endif()

set(_vornHostLibraries Model_VOrn Utility_Manage UI_Proc_VORN_Desktop UI_Proc_Quarl)
# A header each library provides.
set(_vornHostHeader_Model_VOrn model_vornparam.h)
set(_vornHostHeader_Utility_Manage utility_manage.h)
set(_vornHostHeader_UI_Proc_VORN_Desktop uiprocmain_vorn_desktop.h)
set(_vornHostHeader_UI_Proc_Quarl uiproctake.h)

# Another prefix than last time searches afresh instead of keeping the cached results.
if(NOT "${VORN_HOST_PREFIX}" STREQUAL "${_VornHost_SEARCHED_PREFIX}")
    foreach(_name IN LISTS _vornHostLibraries)
        unset(VornHost_${_name}_LIBRARY CACHE)
        unset(VornHost_${_name}_INCLUDE_DIR CACHE)
    endforeach()
    set(_VornHost_SEARCHED_PREFIX "${VORN_HOST_PREFIX}" CACHE INTERNAL "")
endif()

set(_vornHostRequired)
foreach(_name IN LISTS _vornHostLibraries)
    find_path(VornHost_${_name}_INCLUDE_DIR ${_vornHostHeader_${_name}}
              HINTS "${VORN_HOST_PREFIX}/include" PATH_SUFFIXES vorn-host)
    find_library(VornHost_${_name}_LIBRARY ${_name}
                 HINTS "${VORN_HOST_PREFIX}/lib/${CMAKE_LIBRARY_ARCHITECTURE}"
                       "${VORN_HOST_PREFIX}/lib")
    mark_as_advanced(VornHost_${_name}_INCLUDE_DIR VornHost_${_name}_LIBRARY)
    list(APPEND _vornHostRequired VornHost_${_name}_LIBRARY VornHost_${_name}_INCLUDE_DIR)
    if(VornHost_${_name}_LIBRARY AND VornHost_${_name}_INCLUDE_DIR AND NOT TARGET ${_name})
        add_library(${_name} UNKNOWN IMPORTED)
        set_target_properties(${_name} PROPERTIES
            IMPORTED_LOCATION "${VornHost_${_name}_LIBRARY}"
            INTERFACE_INCLUDE_DIRECTORIES "${VornHost_${_name}_INCLUDE_DIR}"
            INTERFACE_LINK_LIBRARIES Qt::Core)
    endif()
endforeach()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(VornHost REQUIRED_VARS ${_vornHostRequired}
    REASON_FAILURE_MESSAGE "The host's libraries and headers were not found. Set \
VORN_HOST_PREFIX to the folder the host application installed them in (DIR/include or \
DIR/include/vorn-host, DIR/lib or DIR/lib/<multiarch>), or install the package \
vorn-host-stand-ins (vorn-host-stand-ins-qt6 for Qt 6) to build without the host.")
unset(_vornHostLibraries)
unset(_vornHostRequired)

# The library as the imported target UI_Proc_VORN_TaskCmdProcess_Desktop. Its headers
# include the host's, so the host's libraries are found too (FindVornHost: from
# VORN_HOST_PREFIX or the prefix path) and come with the target.

include(CMakeFindDependencyMacro)
find_dependency(Qt5 5.15 COMPONENTS Core Qml)
set(_vornModulePath "${CMAKE_MODULE_PATH}")
list(PREPEND CMAKE_MODULE_PATH "${CMAKE_CURRENT_LIST_DIR}")
find_dependency(VornHost)
set(CMAKE_MODULE_PATH "${_vornModulePath}")
unset(_vornModulePath)

include("${CMAKE_CURRENT_LIST_DIR}/UI_Proc_VORN_TaskCmdProcess_DesktopTargets.cmake")

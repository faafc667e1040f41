# The CMake package configuration of the installed library and its Debian packages:
# the library, its development files and, with the stand-ins, the tools.
include(CMakePackageConfigHelpers)

set(configDir ${CMAKE_INSTALL_LIBDIR}/cmake/${PROJECT_NAME})
write_basic_package_version_file(${PROJECT_NAME}ConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(EXPORT ${PROJECT_NAME} FILE ${PROJECT_NAME}Targets.cmake
        DESTINATION ${configDir} COMPONENT development)
configure_file(cmake/${PROJECT_NAME}Config.cmake.in ${PROJECT_NAME}Config.cmake @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${PROJECT_NAME}Config.cmake cmake/FindVornHost.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/${PROJECT_NAME}ConfigVersion.cmake
        DESTINATION ${configDir} COMPONENT development)

set(CPACK_PACKAGE_CONTACT "VORN keyboard library maintainers" CACHE STRING
    "Maintainer field of the Debian packages")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Hardware control keyboard processor for the VORN desktop")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The library and the host's libraries belong to no installed Debian package: dpkg-shlibdeps
# finds them where they were built or found and adds no dependency for them (the host
# application that loads the library brings its own).
set(libraryDirs)
foreach(library UI_Proc_VORN_TaskCmdProcess_Desktop Model_VOrn Utility_Manage
                UI_Proc_VORN_Desktop UI_Proc_Quarl)
    list(APPEND libraryDirs $<TARGET_FILE_DIR:${library}>)
endforeach()
file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/CPackLibraryDirs.cmake
     CONTENT "set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS \"${libraryDirs}\")\n")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/CPackLibraryDirs.cmake)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

# A Qt 6 build makes the same packages named with -qt6. They hold the same files, so each
# conflicts with its namesake built against the other Qt.
if(VORN_QT_MAJOR STREQUAL 6)
    set(qtSuffix -qt6)
    set(otherQtSuffix "")
    set(qtDevelopment "qt6-base-dev, qt6-declarative-dev")
    set(qtViewRuntime "qml6-module-qtquick, qml6-module-qtquick-window, \
qml6-module-qtqml-workerscript, qt6-qpa-plugins")
else()
    set(qtSuffix "")
    set(otherQtSuffix -qt6)
    set(qtDevelopment "qtbase5-dev, qtdeclarative5-dev")
    set(qtViewRuntime "qml-module-qtquick2, qml-module-qtquick-window2")
endif()
set(libraryPackage libui-proc-vorn-taskcmdprocess-desktop${PROJECT_VERSION_MAJOR})
set(developmentPackage libui-proc-vorn-taskcmdprocess-desktop)

set(CPACK_COMPONENTS_ALL library development)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${libraryPackage}${qtSuffix})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONFLICTS ${libraryPackage}${otherQtSuffix})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
# Lets dpkg-shlibdeps, packaging a host application, turn the SONAME into this package.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/shlibs
     "libUI_Proc_VORN_TaskCmdProcess_Desktop ${PROJECT_VERSION_MAJOR} "
     "${CPACK_DEBIAN_LIBRARY_PACKAGE_NAME} (>= ${PROJECT_VERSION})\n")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/shlibs)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${developmentPackage}${qtSuffix}-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_CONFLICTS ${developmentPackage}${otherQtSuffix}-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS ${qtDevelopment})
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS library)
if(NOT VORN_HOST_PREFIX)
    list(APPEND CPACK_COMPONENTS_ALL tools)
    set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME vorn-keyboard-tools${qtSuffix})
    set(CPACK_DEBIAN_TOOLS_PACKAGE_CONFLICTS vorn-keyboard-tools${otherQtSuffix})
    set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION devel)
    set(CPACK_COMPONENT_TOOLS_DEPENDS library)
    # The keyboard view's QML imports (and Qt 6's X platform plugin, a package of its own),
    # which no shared-library dependency brings.
    set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS ${qtViewRuntime})
endif()
include(CPack)

# Packages of the framework: a pkg-config file per library and the Debian
# packages CPack makes from the install rules.
#
#   runtime  libwren<major>: the shared libraries
#   dev      libwren-dev: headers, the CMake package, the pkg-config files
#   tools    wren-tools: the programs

# wren_install_pkg_config(<library> <public deps>)
#   Writes and installs <library>.pc, requiring the pkg-config modules of
#   its public dependencies (shared libraries: private ones are not
#   needed). Its prefix is found from the file's own place, so the
#   packages work unpacked anywhere.
function(wren_install_pkg_config name public)
  set(module_OgreMain OGRE)
  set(module_PkgConfig::TINYXML tinyxml)
  set(module_PkgConfig::OIS OIS)
  set(required "")
  foreach(dep IN LISTS public)
    if(DEFINED module_${dep})
      list(APPEND required ${module_${dep}})
    elseif(TARGET ${dep} AND NOT dep MATCHES "::")
      list(APPEND required ${dep})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES required)
  string(REPLACE ";" " " WREN_PC_REQUIRES "${required}")
  set(WREN_PC_NAME ${name})
  file(RELATIVE_PATH WREN_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
  string(REGEX REPLACE "/$" "" WREN_PC_TO_PREFIX "${WREN_PC_TO_PREFIX}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/wren-library.pc.in
    ${PROJECT_BINARY_DIR}/pkgconfig/${name}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${name}.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
endfunction()

# wren_debian_packages(): the CPack settings; call once, after every
# install rule.
function(wren_debian_packages)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME wren)
  set(CPACK_PACKAGE_VENDOR "Wren")
  set(CPACK_PACKAGE_CONTACT "Wren developers <wren@localhost>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Game-world object framework on OGRE 1.12")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL runtime dev tools)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libwren${PROJECT_VERSION_MAJOR})
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_DEV_PACKAGE_NAME libwren-dev)
  set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
    "libwren${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION}), libogre-1.12-dev, libtinyxml-dev, libois-dev, libboost-dev, pkg-config")
  set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME wren-tools)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "libwren${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
  # The shared libraries of the build tree satisfy the tools' own
  # dependencies on them.
  set(dirs "")
  foreach(lib wrenengine worldcommon worldcore worldimpostor wrenplatform worldextension wrenhost)
    if(TARGET ${lib})
      get_target_property(dir ${lib} BINARY_DIR)
      list(APPEND dirs ${dir})
    endif()
  endforeach()
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${dirs})
  include(CPack)
endfunction()

# Helpers shared by the libraries of the framework.
#
# wren_add_library(<name> [PUBLIC <deps>...] [PRIVATE <deps>...])
#   Builds the shared library <name> from the sources in src/ of the calling
#   folder and exports the headers of its include/ folder. Headers are
#   installed flat into include/Wren, so hosts include them by class name.
function(wren_add_library name)
  cmake_parse_arguments(ARG "" "" "PUBLIC;PRIVATE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/include/*.h)
  if(NOT sources)
    # A library joins the build with its first source.
    return()
  endif()
  add_library(${name} SHARED ${sources} ${headers})
  add_library(Wren::${name} ALIAS ${name})
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/Wren>)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  set_target_properties(${name} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    EXPORT_NAME ${name}
    INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${name} EXPORT WrenTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
  install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/Wren COMPONENT dev)
  wren_install_pkg_config(${name} "${ARG_PUBLIC}")
endfunction()

# Installs the exported CMake package, so that a host finds the framework
# with find_package(Wren) and links Wren::worldcommon and its siblings.
function(wren_install_package)
  include(CMakePackageConfigHelpers)
  set(dest ${CMAKE_INSTALL_LIBDIR}/cmake/Wren)
  install(EXPORT WrenTargets NAMESPACE Wren:: DESTINATION ${dest} COMPONENT dev)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/WrenConfig.cmake.in
    ${PROJECT_BINARY_DIR}/WrenConfig.cmake INSTALL_DESTINATION ${dest})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/WrenConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/WrenConfig.cmake
    ${PROJECT_BINARY_DIR}/WrenConfigVersion.cmake DESTINATION ${dest} COMPONENT dev)
endfunction()

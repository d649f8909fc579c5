# cmake --install: the module and the stand-in inference library in a folder of their own
# (hosts load the module by path), the programs, the GStreamer element in GStreamer's
# plug-in folder, the default models, the headers, the CMake package and the README.
include(CMakePackageConfigHelpers)

# Installed under the names of their aliases: tev::module, tev::interface...
set_target_properties(TEVCustomFireNSmokeDetection PROPERTIES EXPORT_NAME module)
set_target_properties(tev_interface PROPERTIES EXPORT_NAME interface)
set_target_properties(tev_inference PROPERTIES EXPORT_NAME inference)
set(tev_installed_libraries TEVCustomFireNSmokeDetection tev_interface tev_inference)
if(TEV_BUILD_TEVLIB)
  set_target_properties(TEVLIB PROPERTIES EXPORT_NAME tevlib)
  list(APPEND tev_installed_libraries TEVLIB)
endif()
install(TARGETS ${tev_installed_libraries}
  EXPORT tevTargets
  LIBRARY DESTINATION ${TEV_INSTALL_MODULEDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${TEV_INSTALL_MODULEDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tev)
install(DIRECTORY interface inference
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tev
  FILES_MATCHING PATTERN "*.h")
install(EXPORT tevTargets NAMESPACE tev:: DESTINATION ${TEV_INSTALL_CMAKEDIR})
configure_package_config_file(cmake/tevConfig.cmake.in
  "${PROJECT_BINARY_DIR}/tevConfig.cmake"
  INSTALL_DESTINATION ${TEV_INSTALL_CMAKEDIR})
write_basic_package_version_file("${PROJECT_BINARY_DIR}/tevConfigVersion.cmake"
  COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/tevConfig.cmake" "${PROJECT_BINARY_DIR}/tevConfigVersion.cmake"
  DESTINATION ${TEV_INSTALL_CMAKEDIR})

foreach(program tev-host tev-eval tev-scene)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET tev-eval)
  # Its raw mode links the inference library, installed beside the module.
  set_target_properties(tev-eval PROPERTIES INSTALL_RPATH "$ORIGIN/${TEV_PROGRAM_TO_MODULEDIR}")
endif()
if(TARGET gsttevfiresmoke)
  install(TARGETS gsttevfiresmoke LIBRARY DESTINATION ${TEV_INSTALL_GST_PLUGINDIR})
endif()

install(DIRECTORY models/default DESTINATION ${TEV_INSTALL_MODELDIR})
install(FILES README.md DESTINATION ${TEV_INSTALL_DOCDIR})
if(TARGET tev-host AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  # tev-host as a service, one instance per camera.
  install(FILES packaging/systemd/tev-host@.service DESTINATION ${TEV_INSTALL_SYSTEMD_UNITDIR})
  install(FILES packaging/systemd/tev-host.conf.example DESTINATION ${TEV_INSTALL_DOCDIR}/examples)
endif()

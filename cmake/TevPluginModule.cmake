# tev_plugin_module(<target>): what makes a library a plug-in module that hosts load by its
# own name: no lib prefix, and only the plug-in surface exported (cmake/plugin_exports.map):
# Create, Release and the interface's own members. Hidden visibility alone would still let
# the standard library's template instantiations through.
function(tev_plugin_module target)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_compile_definitions(${target} PRIVATE TEV_MODULE_BUILD)
  target_link_libraries(${target} PUBLIC tev::interface)
  if(NOT WIN32 AND NOT APPLE)
    set(exports_map ${PROJECT_SOURCE_DIR}/cmake/plugin_exports.map)
    target_link_options(${target} PRIVATE "LINKER:--version-script=${exports_map}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${exports_map})
  endif()
  tev_target_defaults(${target})
endfunction()

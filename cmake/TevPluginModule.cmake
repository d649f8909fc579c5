# tev_plugin_module(<target>): what makes a library a plug-in module that hosts load by its
# own name: no lib prefix, only the interface exported (hidden visibility, the export
# header in its exporting mode), and the interface's own members compiled in.
function(tev_plugin_module target)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_compile_definitions(${target} PRIVATE TEV_MODULE_BUILD)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/interface/ITEVCustomClass.cpp)
  target_link_libraries(${target} PUBLIC tev::interface)
  tev_target_defaults(${target})
endfunction()

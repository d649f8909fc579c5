# Where the installed pieces go, and the paths between them. The programs and the element
# find the module and the models by these relative paths from their own location, so an
# installed tree works wherever it is unpacked and no absolute path is compiled in.
if(WIN32)
  # Windows finds DLLs beside the programs.
  set(TEV_INSTALL_MODULEDIR ${CMAKE_INSTALL_BINDIR})
else()
  set(TEV_INSTALL_MODULEDIR ${CMAKE_INSTALL_LIBDIR}/tev)
endif()
set(TEV_INSTALL_MODELDIR ${CMAKE_INSTALL_DATADIR}/tev/models)
set(TEV_INSTALL_GST_PLUGINDIR ${CMAKE_INSTALL_LIBDIR}/gstreamer-1.0)
set(TEV_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/tev)
set(TEV_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/tev-fire-smoke)
set(TEV_INSTALL_SYSTEMD_UNITDIR lib/systemd/system)

# tev_install_relative_path(<variable> <from> <to>): the path from one install folder to
# another, "." when they are the same.
function(tev_install_relative_path variable from to)
  file(RELATIVE_PATH path "${CMAKE_INSTALL_PREFIX}/${from}" "${CMAKE_INSTALL_PREFIX}/${to}")
  if(path STREQUAL "")
    set(path ".")
  endif()
  set(${variable} "${path}" PARENT_SCOPE)
endfunction()

tev_install_relative_path(TEV_PROGRAM_TO_MODULEDIR ${CMAKE_INSTALL_BINDIR} ${TEV_INSTALL_MODULEDIR})
tev_install_relative_path(TEV_PROGRAM_TO_MODELDIR ${CMAKE_INSTALL_BINDIR} ${TEV_INSTALL_MODELDIR})
tev_install_relative_path(TEV_PLUGIN_TO_MODULEDIR ${TEV_INSTALL_GST_PLUGINDIR}
                          ${TEV_INSTALL_MODULEDIR})
tev_install_relative_path(TEV_PLUGIN_TO_MODELDIR ${TEV_INSTALL_GST_PLUGINDIR}
                          ${TEV_INSTALL_MODELDIR})

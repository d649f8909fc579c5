# The maker's inference library instead of the stand-in: TEV_TEVLIB_LIBRARY names what the
# module links (TEVLIB.lib or libTEVLIB.dll.a on Windows, libTEVLIB.so elsewhere); its
# headers are the ones in inference/. The library itself ships beside the module.
find_library(TEV_TEVLIB_LIBRARY NAMES TEVLIB
             DOC "The inference library the module links when TEV_BUILD_TEVLIB is off")
if(NOT TEV_TEVLIB_LIBRARY)
  message(FATAL_ERROR "TEV_BUILD_TEVLIB is off, so the module needs the maker's inference "
                      "library: pass -DTEV_TEVLIB_LIBRARY=<path to TEVLIB.lib, libTEVLIB.dll.a "
                      "or libTEVLIB.so>, or turn TEV_BUILD_TEVLIB on to build the stand-in")
endif()
add_library(TEVLIB UNKNOWN IMPORTED GLOBAL)
add_library(tev::tevlib ALIAS TEVLIB)
set_target_properties(TEVLIB PROPERTIES IMPORTED_LOCATION "${TEV_TEVLIB_LIBRARY}")
target_link_libraries(TEVLIB INTERFACE tev::inference opencv_core)

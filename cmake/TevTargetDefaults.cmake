# Warnings for the project's own targets: everything reasonable on, and no warning may
# pass unnoticed.
function(tev_target_defaults target)
  target_compile_features(${target} PUBLIC cxx_std_17)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${TEV_WARNINGS_AS_ERRORS}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
                           $<$<BOOL:${TEV_WARNINGS_AS_ERRORS}>:-Werror>)
  endif()
endfunction()

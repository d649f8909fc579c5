# TEV_SANITIZE=ON builds everything with AddressSanitizer and UndefinedBehaviorSanitizer.
# Undefined behaviour aborts the test that hits it instead of printing and going on.
if(TEV_SANITIZE)
  if(MSVC)
    message(FATAL_ERROR "TEV_SANITIZE is for gcc and clang")
  endif()
  set(tev_sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
                          -fno-omit-frame-pointer)
  add_compile_options(${tev_sanitizer_flags})
  add_link_options(${tev_sanitizer_flags})
endif()

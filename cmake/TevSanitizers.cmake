# TEV_SANITIZE=ON builds everything with AddressSanitizer and UndefinedBehaviorSanitizer;
# undefined behaviour aborts the test that hits it instead of printing and going on.
# TEV_SANITIZE_THREAD=ON builds everything with ThreadSanitizer.
if(TEV_SANITIZE AND TEV_SANITIZE_THREAD)
  message(FATAL_ERROR "TEV_SANITIZE and TEV_SANITIZE_THREAD cannot be combined; use two builds")
endif()
if((TEV_SANITIZE OR TEV_SANITIZE_THREAD) AND MSVC)
  message(FATAL_ERROR "The sanitizer builds are for gcc and clang")
endif()

if(TEV_SANITIZE)
  set(tev_sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
                          -fno-omit-frame-pointer)
elseif(TEV_SANITIZE_THREAD)
  set(tev_sanitizer_flags -fsanitize=thread -fno-omit-frame-pointer)
endif()
if(tev_sanitizer_flags)
  add_compile_options(${tev_sanitizer_flags})
  add_link_options(${tev_sanitizer_flags})
endif()

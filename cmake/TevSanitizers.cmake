# TEV_SANITIZE=ON builds everything with AddressSanitizer and UndefinedBehaviorSanitizer;
# undefined behaviour aborts the test that hits it instead of printing and going on.
# TEV_SANITIZE_THREAD=ON builds everything with ThreadSanitizer. TEV_FUZZ=ON (clang only)
# instruments everything for libFuzzer, with AddressSanitizer and UBSan.
if((TEV_SANITIZE AND TEV_SANITIZE_THREAD) OR (TEV_FUZZ AND (TEV_SANITIZE OR TEV_SANITIZE_THREAD)))
  message(FATAL_ERROR "TEV_SANITIZE, TEV_SANITIZE_THREAD and TEV_FUZZ need builds of their own")
endif()
if(TEV_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "TEV_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()
if((TEV_SANITIZE OR TEV_SANITIZE_THREAD) AND MSVC)
  message(FATAL_ERROR "The sanitizer builds are for gcc and clang")
endif()

if(TEV_SANITIZE)
  set(tev_sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
                          -fno-omit-frame-pointer)
elseif(TEV_SANITIZE_THREAD)
  set(tev_sanitizer_flags -fsanitize=thread -fno-omit-frame-pointer)
elseif(TEV_FUZZ)
  set(tev_sanitizer_flags -fsanitize=fuzzer-no-link,address,undefined
                          -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
endif()
if(tev_sanitizer_flags)
  add_compile_options(${tev_sanitizer_flags})
  add_link_options(${tev_sanitizer_flags})
endif()

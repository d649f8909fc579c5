// Symbol export for the inference library TEVLIB.
#pragma once

#if defined(_WIN32)
#if defined(TEVLIB_BUILD)
#define TEVLIB_API __declspec(dllexport)
#else
#define TEVLIB_API __declspec(dllimport)
#endif
#else
#define TEVLIB_API __attribute__((visibility("default")))
#endif

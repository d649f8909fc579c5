// Symbol export for the plug-in module. The module is built with hidden visibility, so
// only what carries TEV_MODULE_API is visible to hosts.
#pragma once

#if defined(_WIN32)
#if defined(TEV_MODULE_BUILD)
#define TEV_MODULE_API __declspec(dllexport)
#else
#define TEV_MODULE_API __declspec(dllimport)
#endif
#else
#define TEV_MODULE_API __attribute__((visibility("default")))
#endif

// The plain functions the module exports. A host that loads the module at run time looks
// them up by these names (dlsym / GetProcAddress); the names are not mangled.
#pragma once

#include "interface/ITEVCustomClass.h"
#include "interface/tev_module_export.h"

extern "C" {

// Makes a new, uninitialised detector object. Returns null if it cannot be allocated.
TEV_MODULE_API ITEVCustomClass* Create();

// Frees an object made by Create (after Destroy, or it destroys the models itself).
// Null is a no-op.
TEV_MODULE_API void Release(ITEVCustomClass* object);

}  // extern "C"

using TEVCreateFunction = ITEVCustomClass* (*)();
using TEVReleaseFunction = void (*)(ITEVCustomClass*);

inline constexpr const char* kTEVCreateSymbol = "Create";
inline constexpr const char* kTEVReleaseSymbol = "Release";

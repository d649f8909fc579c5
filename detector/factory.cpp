// The module's exported plain functions. Nothing may escape them: an exception crossing
// the plug-in boundary takes the host down.
#include "detector/TEVCustomFS.h"
#include "interface/TEVCustomModule.h"

#include <new>

extern "C" {

TEV_MODULE_API ITEVCustomClass* Create() {
  try {
    return new TEVCustomFS();
  } catch (...) {
    return nullptr;
  }
}

TEV_MODULE_API void Release(ITEVCustomClass* object) {
  // Only Create makes objects, so the concrete type is known; the interface has no
  // virtual destructor.
  delete static_cast<TEVCustomFS*>(object);
}

}  // extern "C"

// The tevfiresmoke plug-in: registers its one element.
#include "platform/gstreamer/tev_fire_smoke.h"

#include <gst/gst.h>

// GST_PLUGIN_DEFINE names the source package the plug-in comes from through this macro.
#define PACKAGE "TEVFireNSmoke"

namespace {

gboolean RegisterElements(GstPlugin* plugin) {
  return gst_element_register(plugin, "tevfiresmoke", GST_RANK_NONE, TEV_TYPE_FIRE_SMOKE);
}

}  // namespace

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, tevfiresmoke,
                  "Fire and smoke detection by the TEVCustomFireNSmokeDetection module",
                  RegisterElements, TEV_VERSION, "Proprietary", "TEVFireNSmoke",
                  "the TEVFireNSmoke source tree")

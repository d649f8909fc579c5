// The GStreamer tests' main: loads the built element into GStreamer and shuts GStreamer down
// at the end, so that the leak checker sees only what is really lost.
//
// The element is loaded from its file rather than found through GST_PLUGIN_PATH: GStreamer
// scans a plug-in path in an uninstrumented helper, which cannot load the sanitized build's
// element, and scanning in this process would grow GLib's quark table, whose old block GLib
// leaks on purpose. gst-inspect-1.0 finds it through GST_PLUGIN_PATH (element_inspect_test).
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  // The build's own registry of the system's plug-ins, not the user's.
  setenv("GST_REGISTRY", TEV_GST_REGISTRY, 1);
  gst_init(&argc, &argv);
  GError* error = nullptr;
  GstPlugin* element = gst_plugin_load_file(TEV_GST_PLUGIN_FILE, &error);
  if (element == nullptr) {
    std::fprintf(stderr, "cannot load %s: %s\n", TEV_GST_PLUGIN_FILE, error->message);
    g_error_free(error);
    return 1;
  }
  gst_object_unref(element);
  testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  gst_deinit();
  return status;
}

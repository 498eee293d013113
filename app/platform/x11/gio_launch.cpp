// The GIO module, chronovale-gio.so: the desktop's default application for a
// document's type, found through GIO (shared MIME database, mimeapps.list
// and desktop entries) and started as a child of the calling process, which
// reaps it itself.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <sys/types.h>

#include <type_traits>

#include "desktop_module.h"

namespace {
void RecordChild(GDesktopAppInfo*, GPid processId, gpointer started) {
    *static_cast<pid_t*>(started) = processId;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) int ChronovaleGioLaunchDefault(
    const char* document) {
    gchar* type = g_content_type_guess(document, nullptr, 0, nullptr);
    GAppInfo* application = type ? g_app_info_get_default_for_type(type, FALSE) : nullptr;
    g_free(type);
    if (!application) return 0;
    pid_t started = 0;
    if (G_IS_DESKTOP_APP_INFO(application)) {
        GFile* file = g_file_new_for_path(document);
        gchar* uri = g_file_get_uri(file);
        GList uris = {uri, nullptr, nullptr};
        // The child is the caller's own and is reaped by it, not by GLib.
        g_desktop_app_info_launch_uris_as_manager(
            G_DESKTOP_APP_INFO(application), &uris, nullptr,
            static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr,
            nullptr, RecordChild, &started, nullptr);
        g_free(uri);
        g_object_unref(file);
    }
    g_object_unref(application);
    return started;
}

static_assert(std::is_same_v<decltype(&ChronovaleGioLaunchDefault), GioLaunchDefaultEntry>);

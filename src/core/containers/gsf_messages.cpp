#include "core/containers/gsf_messages.h"

#include <glib.h>

#include <mutex>

namespace gb {
namespace {

thread_local GsfMessages* current = nullptr;

void onMessage(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer)
{
    if (current != nullptr && message != nullptr) {
        current->keep(message);
        return;
    }
    g_log_default_handler(domain, level, message, nullptr);
}

// libgsf logs under "libgsf", "libgsf:msole" for the compound file reader,
// and under no domain at all for a child it cannot open. Only messages on a
// thread that is reading a package are caught, and GLib's own domains are
// left alone. Errors are too: GLib aborts on them whoever handles them.
void installHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const auto levels = static_cast<GLogLevelFlags>((G_LOG_LEVEL_MASK & ~G_LOG_LEVEL_ERROR) |
                                                        G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION);
        for (const char* domain : {"libgsf", "libgsf:msole", static_cast<const char*>(nullptr)})
            g_log_set_handler(domain, levels, onMessage, nullptr);
    });
}

} // namespace

GsfMessages::GsfMessages() : outer_(current)
{
    installHandlers();
    current = this;
}

GsfMessages::~GsfMessages()
{
    current = outer_;
}

void GsfMessages::keep(const char* message)
{
    if (first_.empty())
        first_ = message;
}

} // namespace gb

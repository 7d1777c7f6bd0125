#include <mutex>
#include <utility>

#include "platform/dialog.h"
#include "platform/internal.h"
#include "platform/null/test_hooks.h"

namespace nullbackend {
namespace {
std::mutex g_lock;
std::vector<std::string> g_boxes;
std::function<void(const std::string&)> g_watch;
}  // namespace

// Nothing is shown: the engine has said the text on stderr, and tests read what was recorded.
int ShowMessage(const char* text, const char*)
{
    if (g_watch)
        g_watch(text);
    std::lock_guard<std::mutex> hold(g_lock);
    g_boxes.push_back(text);
    return IDOK;
}

const std::vector<std::string>& MessageBoxes()
{
    return g_boxes;
}

void WatchMessageBoxes(std::function<void(const std::string&)> watch)
{
    g_watch = std::move(watch);
}

void ClearMessageBoxes()
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_boxes.clear();
}

}  // namespace nullbackend

#include <mutex>

#include "platform/dialog.h"
#include "platform/internal.h"
#include "platform/null/test_hooks.h"

namespace nullbackend {
namespace {
std::mutex g_lock;
std::vector<std::string> g_boxes;
}  // namespace

// Nothing is shown: the engine has said the text on stderr, and tests read what was recorded.
int ShowMessage(const char* text, const char*)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_boxes.push_back(text);
    return IDOK;
}

const std::vector<std::string>& MessageBoxes()
{
    return g_boxes;
}

void ClearMessageBoxes()
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_boxes.clear();
}

}  // namespace nullbackend

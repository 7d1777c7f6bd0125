#include "platform/dialog.h"

#include "platform/common/backend_table.h"
#include "platform/handheld_internal.h"

int MessageBox(HWND, const char* text, const char* caption, UINT)
{
    if (!text)
        text = "";
    if (!caption)
        caption = "";
    // The session is over: there is no display left to show a box on.
    if (platform_internal::SessionEnded())
        return IDOK;
    return platform_internal::Backend().dialog.showMessage(text, caption);
}

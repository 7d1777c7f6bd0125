#include "platform/dialog.h"

#include "platform/common/backend_table.h"

int MessageBox(HWND, const char* text, const char* caption, UINT)
{
    if (!text)
        text = "";
    if (!caption)
        caption = "";
    return platform_internal::Backend().dialog.showMessage(text, caption);
}

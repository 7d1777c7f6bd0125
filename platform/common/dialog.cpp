#include "platform/dialog.h"

#include "platform/backend.h"
#include "platform/internal.h"

int MessageBox(HWND, const char* text, const char* caption, UINT)
{
    if (!text)
        text = "";
    if (!caption)
        caption = "";
    return PlatformIsHeadless() ? nullbackend::ShowMessage(text, caption)
                                : sdlbackend::ShowMessage(text, caption);
}

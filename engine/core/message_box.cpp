#include "engine/core/memory.h"
#include "platform/dialog.h"

void ShowMessageBox(const char* text)
{
    MessageBox(nullptr, text, nullptr, MB_TOPMOST);
}

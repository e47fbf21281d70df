#include "app/app.h"

int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT buttons) {
    return MessageBoxW(owner, text, caption, buttons);
}

// Menus the program changes but does not own (the system menu).
#pragma once

#include "platform/win.h"

class CMenu {
public:
    HMENU m_hMenu = nullptr;

    // A temporary object for the menu (freed by the idle housekeeping), null for null.
    static CMenu* FromHandle(HMENU hMenu);
    static void DeleteTempMap();

    // Appends an item: MF_SEPARATOR, or MF_STRING with a command id and its text.
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCWSTR lpszNewItem = nullptr)
    {
        return ::AppendMenuW(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
    }
};

#include "platform/menu.h"

#include "platform/handle_map.h"

namespace {

// Temporary objects for the menus the program is handed (the system menu).
using MenuMap = afx_detail::HandleMap<HMENU, CMenu, &CMenu::m_hMenu>;

}  // namespace

CMenu* CMenu::FromHandle(HMENU hMenu) { return MenuMap::ForThisThread().Lookup(hMenu); }

void CMenu::DeleteTempMap() { MenuMap::ForThisThread().DeleteTemporary(); }

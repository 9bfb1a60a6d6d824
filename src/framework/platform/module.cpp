#include "platform/module.h"

#include "platform/app.h"

HINSTANCE AfxGetResourceHandle()
{
    const CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_hInstance != nullptr) {
        return app->m_hInstance;
    }
    return ::GetModuleHandleW(nullptr);
}

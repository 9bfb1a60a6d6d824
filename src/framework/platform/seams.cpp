#include "platform/seams.h"

PlatformCalls& AfxPlatformCalls()
{
    static PlatformCalls calls = {&::GetDC, &::CreateCompatibleDC, &::CreateCompatibleBitmap, &::PolyPolyline,
                                  &::GetMessageW, &::DeleteObject,
                                  &::SetWindowsHookExW, &::MonitorFromWindow, &::GetMonitorInfoW};
    return calls;
}

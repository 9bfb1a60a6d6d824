#include "platform/seams.h"

PlatformCalls& AfxPlatformCalls()
{
    static PlatformCalls calls = {&::GetDC, &::CreateCompatibleDC, &::CreateCompatibleBitmap, &::PolyPolyline,
                                  &::GetMessageW, &::SetWindowsHookExW};
    return calls;
}

// Keyboard input injected into this process's asynchronous key state.
#pragma once

#include <initializer_list>
#include <vector>

#include "platform/win.h"

inline void SendKey(WORD virtualKey, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    ::SendInput(1, &input, sizeof input);
}

// Releases a key and forgets that it was pressed since the last query.
inline void ReleaseKey(WORD virtualKey)
{
    SendKey(virtualKey, false);
    ::GetAsyncKeyState(virtualKey);
}

// Holds keys down for the lifetime of the object.
class HeldKeys {
public:
    HeldKeys(std::initializer_list<WORD> keys) : keys_(keys)
    {
        for (WORD k : keys_) {
            SendKey(k, true);
        }
    }
    ~HeldKeys()
    {
        for (WORD k : keys_) {
            ReleaseKey(k);
        }
    }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    std::vector<WORD> keys_;
};

constexpr WORD kAnimationKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, 'C', VK_SPACE};

inline void ReleaseAllKeys()
{
    for (WORD k : kAnimationKeys) {
        ReleaseKey(k);
    }
}

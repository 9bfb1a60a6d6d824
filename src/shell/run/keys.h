// Which key is which control, on every keyboard layout: the editions' one rule. Each
// platform keeps its own table of key names beside it (the page: sorvel.js's
// NAMED_KEYS; the Linux edition: GDK's keyvals in surface_window.cpp); the Windows
// program reads virtual-key codes, which already name a letter key by its position on a
// layout without Latin letters.
#pragma once

#include "sim/controls.h"

namespace sorvel {

// The keys that every layout names alike.
enum class NamedKey { kOther, kLeft, kRight, kUp, kDown, kSpace };

// The control of a key, or false. The arrows and Space go by their names and C by its
// letter, in either case. On a key that the layout gives no Latin letter (Cyrillic,
// Greek), C goes by position: atC says the key is where C lies on a US keyboard.
// character is what the layout gives the key (0 for none).
constexpr bool ControlForKey(NamedKey key, char32_t character, bool atC, Control& control)
{
    switch (key) {
    case NamedKey::kLeft: control = Control::TurnLeft; return true;
    case NamedKey::kRight: control = Control::TurnRight; return true;
    case NamedKey::kUp: control = Control::TiltUp; return true;
    case NamedKey::kDown: control = Control::TiltDown; return true;
    case NamedKey::kSpace: control = Control::Poke; return true;
    case NamedKey::kOther: break;
    }
    const bool latin = (character >= U'a' && character <= U'z') || (character >= U'A' && character <= U'Z');
    if (character == U'c' || character == U'C' || (!latin && atC)) {
        control = Control::Reset;
        return true;
    }
    return false;
}

}  // namespace sorvel

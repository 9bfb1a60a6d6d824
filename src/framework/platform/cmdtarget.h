// Message maps: each class lists the messages it handles, and its list names the
// list of its base class, so a message goes to the most derived handler for it.
//
//     const MessageMap* CMyDlg::GetMessageMap() const
//     {
//         static const MessageMapEntry entries[] = {
//             MapPaint<&CMyDlg::OnPaint>(),
//             MapCommand<IDOK, &CMyDlg::OnOK>(),
//         };
//         static const MessageMap map = MakeMessageMap(CDialog::GetThisMessageMap(), entries);
//         return &map;
//     }
//
// A class with no handlers of its own writes MakeMessageMap(CDialog::GetThisMessageMap()).
//
// Each Map... function checks the handler's signature at compile time and unpacks
// the message's parameters for it.
#pragma once

#include <cstddef>

#include "platform/win.h"

class CCmdTarget;

using MessageHandler = LRESULT (*)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;    // window message, or WM_COMMAND
    UINT commandId;  // for WM_COMMAND: the command id; otherwise 0
    MessageHandler handler;
};

struct MessageMap {
    const MessageMap* base;  // null for the root
    const MessageMapEntry* entries;
    std::size_t count;

    // The first entry for the message (and command id) in this map or its bases.
    const MessageMapEntry* Find(UINT message, UINT commandId) const;
};

template <std::size_t N>
constexpr MessageMap MakeMessageMap(const MessageMap* base, const MessageMapEntry (&entries)[N])
{
    return MessageMap{base, entries, N};
}

// The map of a class that handles nothing of its own: every message goes on to its base's.
constexpr MessageMap MakeMessageMap(const MessageMap* base) { return MessageMap{base, nullptr, 0}; }

// Anything that can take commands: windows and the application.
class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    virtual const MessageMap* GetMessageMap() const;
    static const MessageMap* GetThisMessageMap();

    // Calls the handler of command id, if this target's map has one.
    virtual BOOL OnCmdMsg(UINT commandId);
};

namespace afx_detail {

template <class Member>
struct MemberOf;
template <class Class, class Type>
struct MemberOf<Type Class::*> {
    using type = Class;
};

// The class a member-function pointer belongs to.
template <auto Handler>
using HandlerClass = typename MemberOf<decltype(Handler)>::type;

template <auto Handler>
HandlerClass<Handler>& Target(CCmdTarget& target)
{
    return static_cast<HandlerClass<Handler>&>(target);
}

}  // namespace afx_detail

// void OnSysCommand(UINT nID, LPARAM lParam)
template <auto Handler>
constexpr MessageMapEntry MapSysCommand()
{
    return {WM_SYSCOMMAND, 0, [](CCmdTarget& t, WPARAM w, LPARAM l) -> LRESULT {
                (afx_detail::Target<Handler>(t).*Handler)(static_cast<UINT>(w), l);
                return 0;
            }};
}

// void OnPaint()
template <auto Handler>
constexpr MessageMapEntry MapPaint()
{
    return {WM_PAINT, 0, [](CCmdTarget& t, WPARAM, LPARAM) -> LRESULT {
                (afx_detail::Target<Handler>(t).*Handler)();
                return 0;
            }};
}

// HCURSOR OnQueryDragIcon()
template <auto Handler>
constexpr MessageMapEntry MapQueryDragIcon()
{
    return {WM_QUERYDRAGICON, 0, [](CCmdTarget& t, WPARAM, LPARAM) -> LRESULT {
                HCURSOR cursor = (afx_detail::Target<Handler>(t).*Handler)();
                return reinterpret_cast<LRESULT>(cursor);
            }};
}

// void OnClose()
template <auto Handler>
constexpr MessageMapEntry MapClose()
{
    return {WM_CLOSE, 0, [](CCmdTarget& t, WPARAM, LPARAM) -> LRESULT {
                (afx_detail::Target<Handler>(t).*Handler)();
                return 0;
            }};
}

// void OnSize(UINT nType, int cx, int cy)
template <auto Handler>
constexpr MessageMapEntry MapSize()
{
    return {WM_SIZE, 0, [](CCmdTarget& t, WPARAM w, LPARAM l) -> LRESULT {
                (afx_detail::Target<Handler>(t).*Handler)(static_cast<UINT>(w), LOWORD(l), HIWORD(l));
                return 0;
            }};
}

// void OnDpiChanged(UINT nDpiX, UINT nDpiY, const RECT* pSuggested): the window's
// new DPI and the window rectangle the platform suggests for it.
template <auto Handler>
constexpr MessageMapEntry MapDpiChanged()
{
    return {WM_DPICHANGED, 0, [](CCmdTarget& t, WPARAM w, LPARAM l) -> LRESULT {
                (afx_detail::Target<Handler>(t).*Handler)(LOWORD(w), HIWORD(w), reinterpret_cast<const RECT*>(l));
                return 0;
            }};
}

// void OnCommand() for one command id.
template <UINT Id, auto Handler>
constexpr MessageMapEntry MapCommand()
{
    return {WM_COMMAND, Id, [](CCmdTarget& t, WPARAM, LPARAM) -> LRESULT {
                (afx_detail::Target<Handler>(t).*Handler)();
                return 0;
            }};
}

// LRESULT OnMessage(WPARAM wParam, LPARAM lParam), parameters as they come.
template <UINT Message, auto Handler>
constexpr MessageMapEntry MapMessage()
{
    return {Message, 0, [](CCmdTarget& t, WPARAM w, LPARAM l) -> LRESULT {
                return (afx_detail::Target<Handler>(t).*Handler)(w, l);
            }};
}

#include "platform/cmdtarget.h"

const MessageMapEntry* MessageMap::Find(UINT message, UINT commandId) const
{
    for (const MessageMap* map = this; map != nullptr; map = map->base) {
        for (std::size_t i = 0; i < map->count; ++i) {
            const MessageMapEntry& entry = map->entries[i];
            if (entry.message == message && entry.commandId == commandId) {
                return &entry;
            }
        }
    }
    return nullptr;
}

const MessageMap* CCmdTarget::GetThisMessageMap()
{
    static const MessageMap map = MakeMessageMap(nullptr);
    return &map;
}

const MessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::OnCmdMsg(UINT commandId)
{
    const MessageMapEntry* entry = GetMessageMap()->Find(WM_COMMAND, commandId);
    if (entry == nullptr) {
        return FALSE;
    }
    entry->handler(*this, 0, 0);
    return TRUE;
}

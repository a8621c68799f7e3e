// Command routing: active view, document, frame, application.
#include "doc/CommandTable.h"

#include <algorithm>

namespace vortel {

void CommandTable::add(int id, CommandLevel level, StateRule rule, Handler handler, const void* owner) {
    for (Entry& e : m_entries)
        if (e.id == id && e.level == level && e.owner == owner) {
            e.rule = std::move(rule);
            e.handler = std::move(handler);
            return;
        }
    m_entries.push_back(Entry{id, level, owner, std::move(rule), std::move(handler)});
}

void CommandTable::removeOwner(const void* owner) {
    if (!owner) return;
    std::erase_if(m_entries, [owner](const Entry& e) { return e.owner == owner; });
    if (m_activeView == owner) m_activeView = nullptr;
}

const CommandTable::Entry* CommandTable::find(int id, const CommandLevel* only) const {
    const Entry* best = nullptr;
    for (const Entry& e : m_entries) {
        if (e.id != id) continue;
        if (only && e.level != *only) continue;
        if (e.level == CommandLevel::View && (e.owner == nullptr || e.owner != m_activeView)) continue;
        // The earliest level wins; within a level, the first registered.
        if (!best || e.level < best->level) best = &e;
    }
    return best;
}

CommandState CommandTable::state(int id) const {
    CommandState s;
    const Entry* e = find(id);
    if (!e) return s;
    s.handled = true;
    const CommandRule r = e->rule ? e->rule() : CommandRule{};
    s.enabled = r.enabled;
    s.checked = r.checked;
    return s;
}

bool CommandTable::run(int id) {
    const Entry* e = find(id);
    if (!e) return false;
    // The handler may register or remove entries: call a copy.
    Handler h = e->handler;
    if (h) h();
    return true;
}

bool CommandTable::runAt(int id, CommandLevel level) {
    const Entry* e = find(id, &level);
    if (!e) return false;
    Handler h = e->handler;
    if (h) h();
    return true;
}

}  // namespace vortel

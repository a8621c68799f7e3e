// CommandTable: every menu, toolbar and accelerator command, by its numeric id.
//
// Each entry holds a state rule (enabled, checked) and a handler. Entries are
// registered by whoever owns the command: the document, a subsystem's module,
// a view, the main frame or the application. A command is routed to the
// active view first, then the document (and the modules), then the frame, then
// the application; the first entry found answers both the state question and
// the command. An id nobody registered is disabled and does nothing.
#pragma once

#include <functional>
#include <vector>

namespace vortel {

struct CommandState {
    bool handled = false;  // some entry answers for the id
    bool enabled = false;
    bool checked = false;
};

// Routing levels, searched in this order.
enum class CommandLevel { View, Document, Frame, Application };

struct CommandRule {
    bool enabled = true;
    bool checked = false;
};

class CommandTable {
public:
    using StateRule = std::function<CommandRule()>;
    using Handler = std::function<void()>;

    // Registers (or replaces, for the same id, level and owner) an entry. An empty
    // rule means enabled and unchecked; an empty handler means the command does
    // nothing when run (a rule that only grays an item). A View entry answers
    // only while its owner is the active view.
    void add(int id, CommandLevel level, StateRule rule, Handler handler, const void* owner = nullptr);
    // Removes every entry of the owner (a view or window going away).
    void removeOwner(const void* owner);
    void setActiveView(const void* view) { m_activeView = view; }
    const void* activeView() const { return m_activeView; }

    CommandState state(int id) const;
    // Runs the routed handler; false when no entry answers for the id.
    bool run(int id);
    // Runs the handler registered at one level only (the document calling its own command).
    bool runAt(int id, CommandLevel level);

private:
    struct Entry {
        int id;
        CommandLevel level;
        const void* owner;
        StateRule rule;
        Handler handler;
    };
    const Entry* find(int id, const CommandLevel* only = nullptr) const;

    std::vector<Entry> m_entries;
    const void* m_activeView = nullptr;
};

}  // namespace vortel

#pragma once
// A window's menu bar, built from its menu layout, and the accelerator
// table of the entries' shortcuts.

#include "layout.h"
#include "win32_api.h"

#include <vector>

namespace forms {
class MenuEntry;
}

namespace forms::win32 {

class MenuBar {
public:
    MenuBar() = default;
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // Parents come before their entries. An entry's shortcut is shown after
    // a tab in its text and becomes an accelerator.
    void add(MenuEntry& entry, const MenuSpec& layout);
    // The menu to give the window (null when there are no entries), and the
    // accelerators (null when no entry has a shortcut).
    HMENU menu() const { return m_bar; }
    HACCEL accelerators();

    // The entry a WM_COMMAND from a menu or an accelerator names.
    MenuEntry* entryFor(WORD id) const;

private:
    struct Item {
        MenuEntry* entry;
        HMENU parent;
        UINT position; // in parent
        WORD id;
        HMENU popup; // made when its first entry comes
    };
    Item* find(const char* name);

    HMENU m_bar = nullptr;
    HACCEL m_accelerators = nullptr;
    std::vector<Item> m_items;
    std::vector<ACCEL> m_keys;
};

// A portable key text ("Ctrl+Q", "F1", "Shift+F2") as an accelerator;
// false for a text it does not know.
bool parseShortcut(const char* text, ACCEL& key);

} // namespace forms::win32

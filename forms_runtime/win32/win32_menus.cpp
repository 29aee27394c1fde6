#include "win32_menus.h"

#include "form.h"
#include "runtime_error.h"
#include "win32_text.h"
#include "win32_window.h"

#include <string_view>

namespace forms::win32 {

namespace {

// Menu command ids, clear of the controls' ids.
constexpr WORD kFirstMenuId = 0x8000;

} // namespace

bool parseShortcut(const char* text, ACCEL& key) {
    std::string_view rest(text);
    BYTE flags = FVIRTKEY;
    for (;;) {
        if (rest.starts_with("Ctrl+"))
            flags |= FCONTROL, rest.remove_prefix(5);
        else if (rest.starts_with("Shift+"))
            flags |= FSHIFT, rest.remove_prefix(6);
        else if (rest.starts_with("Alt+"))
            flags |= FALT, rest.remove_prefix(4);
        else
            break;
    }
    WORD vk = 0;
    if (rest.size() == 1 &&
        ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= '0' && rest[0] <= '9')))
        vk = static_cast<WORD>(rest[0]);
    else if (rest.size() >= 2 && rest[0] == 'F') {
        int n = 0;
        for (char c : rest.substr(1))
            n = c >= '0' && c <= '9' ? n * 10 + (c - '0') : 100;
        if (n >= 1 && n <= 24)
            vk = static_cast<WORD>(VK_F1 + n - 1);
    }
    if (vk == 0)
        return false;
    key.fVirt = flags;
    key.key = vk;
    return true;
}

// The menu bar goes with the window it was given to.
MenuBar::~MenuBar() {
    if (m_accelerators)
        DestroyAcceleratorTable(m_accelerators);
}

MenuBar::Item* MenuBar::find(const char* name) {
    for (Item& item : m_items)
        if (item.entry->Name() == name)
            return &item;
    return nullptr;
}

void MenuBar::add(MenuEntry& entry, const MenuSpec& layout) {
    if (!m_bar)
        m_bar = CreateMenu();
    HMENU parent = m_bar;
    if (layout.parent) {
        Item* owner = find(layout.parent);
        if (!owner)
            raiseError(ErrorCode::ControlNotFound, String("menu ") + layout.parent);
        if (!owner->popup) {
            // The first entry under an entry makes that entry open a menu.
            owner->popup = CreatePopupMenu();
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_SUBMENU;
            info.hSubMenu = owner->popup;
            SetMenuItemInfoW(owner->parent, owner->position, TRUE, &info);
        }
        parent = owner->popup;
    }
    const WORD id = static_cast<WORD>(kFirstMenuId + m_items.size());
    if (isSeparator(layout)) {
        AppendMenuW(parent, MF_SEPARATOR, id, nullptr);
    } else {
        std::wstring text = wide(layout.caption);
        ACCEL key{};
        if (layout.shortcut && parseShortcut(layout.shortcut, key)) {
            key.cmd = id;
            m_keys.push_back(key);
            text += L'\t';
            text += wide(layout.shortcut);
        }
        AppendMenuW(parent, MF_STRING, id, text.c_str());
    }
    const auto position = static_cast<UINT>(GetMenuItemCount(parent) - 1);
    m_items.push_back({&entry, parent, position, id, nullptr});
}

HACCEL MenuBar::accelerators() {
    if (!m_accelerators && !m_keys.empty())
        m_accelerators = CreateAcceleratorTableW(m_keys.data(), static_cast<int>(m_keys.size()));
    return m_accelerators;
}

void Win32Window::addMenuEntry(MenuEntry& entry, const MenuSpec& layout) {
    m_menus.add(entry, layout);
}

MenuEntry* MenuBar::entryFor(WORD id) const {
    for (const Item& item : m_items)
        if (item.id == id && !item.popup)
            return item.entry;
    return nullptr;
}

} // namespace forms::win32

// The window's menu bar: one menu per top-level entry, an action per entry
// below it, shortcuts that act while the window is active.

#include "form.h"
#include "qt_events.h"
#include "qt_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace forms::qt {

void QtWindow::addMenuEntry(MenuEntry& entry, const MenuSpec& m) {
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(m_window);
        m_menuBar->setNativeMenuBar(false); // the menu bar is part of the outer size
    }
    const QString name = QString::fromUtf8(m.name);
    const QString caption = QString::fromUtf8(m.caption);
    QAction* action = nullptr;
    if (!m.parent) {
        QMenu* menu = m_menuBar->addMenu(caption);
        menu->setObjectName(name);
        m_menus[m.name] = menu;
        action = menu->menuAction();
    } else {
        QMenu* parent = m_menus.at(m.parent); // the shared part checked it exists
        action = isSeparator(m) ? parent->addSeparator() : parent->addAction(caption);
        if (m.shortcut) {
            action->setShortcut(QKeySequence(QString::fromLatin1(m.shortcut)));
            action->setShortcutContext(Qt::WindowShortcut);
        }
    }
    action->setObjectName(name);
    m_actions[&entry] = action;
    QObject::connect(action, &QAction::triggered, m_window,
                     [this, &entry] { m_form.platformMenuChosen(entry); });
}

QAction* QtWindow::action(const MenuEntry& entry) const {
    const auto it = m_actions.find(&entry);
    return it == m_actions.end() ? nullptr : it->second;
}

} // namespace forms::qt

#pragma once

#include <QKeySequence>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QWidget;

// One item of the window menu.
struct WindowMenuItem {
    // Its command in the window's system menu: a multiple of 16 below 0xF000, the low four bits
    // being the system's.
    unsigned command = 0;
    QString text;          // Polish: the menus show it in the program's language
    QKeySequence shortcut; // empty: none
    std::function<void()> handler;
    std::function<bool()> enabled; // empty: always enabled
    std::function<bool()> checked; // empty: not a check item
};

// The menu that holds what the main window offers beyond its buttons (About and the tools), built
// from one table of items. It is the window's context menu and, on Windows, part of the window's
// system menu.
class CWindowMenu {
public:
    // Adds an item; its enabled and checked functions can be set on what this returns.
    WindowMenuItem& Add(unsigned command, QString text, QKeySequence shortcut,
                        std::function<void()> handler);
    const std::vector<WindowMenuItem>& Items() const { return m_items; }

    // The items as a menu, each action carrying its command as data; null when there are none.
    std::unique_ptr<QMenu> CreateMenu() const;
    // Runs the item of a system command (its low four bits ignored). False when no item has it
    // or the item is disabled.
    bool Run(unsigned command) const;
    // Makes the items' shortcuts work anywhere in the window; the window owns them.
    void InstallShortcuts(QWidget& window) const;
    // Windows: appends a separator and the items to the window's system menu, and brings their
    // enabled and checked states up to date before it opens. Elsewhere it does nothing.
    void AppendToSystemMenu(QWidget& window) const;
    void RefreshSystemMenu(QWidget& window) const;

private:
    const WindowMenuItem* Find(unsigned command) const;

    std::vector<WindowMenuItem> m_items;
};

#include "WindowMenu.h"

#include "UiText.h"

#include <QAction>
#include <QMenu>
#include <QShortcut>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

constexpr unsigned kSystemBits = 0x000F;

bool IsEnabled(const WindowMenuItem& item) {
    return !item.enabled || item.enabled();
}

} // namespace

WindowMenuItem& CWindowMenu::Add(unsigned command, QString text, QKeySequence shortcut,
                                 std::function<void()> handler) {
    WindowMenuItem& item = m_items.emplace_back();
    item.command = command;
    item.text = std::move(text);
    item.shortcut = std::move(shortcut);
    item.handler = std::move(handler);
    return item;
}

const WindowMenuItem* CWindowMenu::Find(unsigned command) const {
    for (const WindowMenuItem& item : m_items) {
        if (item.command == (command & ~kSystemBits)) {
            return &item;
        }
    }
    return nullptr;
}

std::unique_ptr<QMenu> CWindowMenu::CreateMenu() const {
    if (m_items.empty()) {
        return nullptr;
    }
    // No parent: the caller alone owns the menu, and its actions go with it.
    auto menu = std::make_unique<QMenu>();
    for (const WindowMenuItem& item : m_items) {
        QAction* action = menu->addAction(UiText(item.text));
        action->setData(item.command);
        action->setShortcut(item.shortcut);
        action->setEnabled(IsEnabled(item));
        if (item.checked) {
            action->setCheckable(true);
            action->setChecked(item.checked());
        }
    }
    return menu;
}

bool CWindowMenu::Run(unsigned command) const {
    const WindowMenuItem* item = Find(command);
    if (item == nullptr || !IsEnabled(*item) || !item->handler) {
        return false;
    }
    item->handler();
    return true;
}

void CWindowMenu::InstallShortcuts(QWidget& window) const {
    for (const WindowMenuItem& item : m_items) {
        if (item.shortcut.isEmpty()) {
            continue;
        }
        auto* shortcut = new QShortcut(item.shortcut, &window); // owned by the window
        const unsigned command = item.command;
        QObject::connect(shortcut, &QShortcut::activated, &window,
                         [this, command] { (void)Run(command); }); // a disabled item does nothing
    }
}

#ifdef Q_OS_WIN

void CWindowMenu::AppendToSystemMenu(QWidget& window) const {
    HMENU menu = ::GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
    if (menu == nullptr || m_items.empty()) {
        return; // a window without a system menu keeps the context menu alone
    }
    (void)::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); // a failed append leaves the item out
    for (const WindowMenuItem& item : m_items) {
        QString text = UiText(item.text);
        if (!item.shortcut.isEmpty()) {
            text += QLatin1Char('\t') + item.shortcut.toString(QKeySequence::NativeText);
        }
        (void)::AppendMenuW(menu, MF_STRING, item.command,
                            reinterpret_cast<const wchar_t*>(text.utf16()));
    }
    RefreshSystemMenu(window);
}

void CWindowMenu::RefreshSystemMenu(QWidget& window) const {
    HMENU menu = ::GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
    if (menu == nullptr) {
        return;
    }
    for (const WindowMenuItem& item : m_items) {
        (void)::EnableMenuItem(menu, item.command,
                               MF_BYCOMMAND | (IsEnabled(item) ? MF_ENABLED : MF_GRAYED));
        if (item.checked) {
            (void)::CheckMenuItem(menu, item.command,
                                  MF_BYCOMMAND | (item.checked() ? MF_CHECKED : MF_UNCHECKED));
        }
    }
}

#else

void CWindowMenu::AppendToSystemMenu(QWidget& window) const {
    (void)window; // no system menu of the program's own: the context menu serves
}

void CWindowMenu::RefreshSystemMenu(QWidget& window) const {
    (void)window;
}

#endif

#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// The window's frame is not known before the system has shown it; its owner's frame, drawn by
// the same system, is the best guess.
QMargins FrameMargins(const QWidget* owner) {
    if (owner == nullptr || !owner->isVisible()) {
        return {};
    }
    const QRect frame = owner->frameGeometry();
    const QRect inner = owner->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

} // namespace

void PlaceWhollyOnScreen(QWidget& window, const QWidget* owner) {
    const QScreen* screen = owner != nullptr ? owner->screen() : window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return; // no screen at all: the system places it
    }
    const QRect available = screen->availableGeometry();
    const QMargins frame = FrameMargins(owner);
    const int width = std::min(window.width(), available.width() - frame.left() - frame.right());
    const int height = std::min(window.height(), available.height() - frame.top() - frame.bottom());
    window.resize(std::max(width, 1), std::max(height, 1));

    const QSize outer(window.width() + frame.left() + frame.right(),
                      window.height() + frame.top() + frame.bottom());
    const QPoint centre = owner != nullptr && owner->isVisible() ? owner->frameGeometry().center()
                                                                 : available.center();
    const auto within = [](int wanted, int low, int length, int size) {
        return std::max(low, std::min(wanted, low + length - size));
    };
    window.move(
        within(centre.x() - outer.width() / 2, available.left(), available.width(), outer.width()),
        within(centre.y() - outer.height() / 2, available.top(), available.height(),
               outer.height())); // a window's position is that of its frame
}

#pragma once

class QWidget;

// Gives a tool window that is about to be shown for the first time its place: centred on its
// owner, wholly within the owner's screen (its frame included), and no larger than that screen
// leaves room for. Without an owner, the window's own screen is taken.
void PlaceWhollyOnScreen(QWidget& window, const QWidget* owner);

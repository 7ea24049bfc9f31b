#pragma once

#include "CDialog.h"

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class QMenu;
class QWidget;

// What a dialog built from a template shows that does not fit: a text wider (or, wrapped, taller)
// than the room its control gives it (a push button's inside its frame, a check box's beside its
// indicator), or two controls that overlap (a group box holds others and does not count). One
// line per problem, naming the control.
std::vector<std::string> FitProblems(const CDialog& dialog);

// Every text a window shows or says to a screen reader: its title, the texts, tooltips and
// accessible names of its widgets, the items and headers of its tables and lists, the text of its
// text fields.
QStringList WindowTexts(const QWidget& window);

// The texts of a menu's items, without mnemonic markers and shortcuts.
QStringList MenuTexts(const QMenu& menu);

// Whether a text still holds Polish: Polish letters, or a word that only the Polish texts of the
// program use. The names of the languages in the language dialog are meant to be there.
bool LooksPolish(const QString& text);

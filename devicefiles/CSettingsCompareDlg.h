#pragma once

#include "SettingsComparison.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QPushButton;
class QTableWidget;

// "Porównanie ustawień z plikiem": the device's settings beside the file's, changed rows marked,
// differing bytes no field shows listed. Accepted when the user chooses "Zapisz do urządzenia";
// that button is there only when something differs, and for another sensor's file only once
// the user has agreed to copy it without the serial number and the production year. A value the
// settings dialogs would refuse is named in a question first. Changed rows come first.
class CSettingsCompareDlg : public QDialog {
public:
    CSettingsCompareDlg(const SettingsComparison& comparison, const std::string& fileDescription,
                        QWidget* parent = nullptr);

    QTableWidget* Table() const { return m_table; }
    QPushButton* WriteButton() const { return m_write; }
    QCheckBox* CloneBox() const { return m_clone; }

private:
    void UpdateWriteButton();
    void OnWrite();

    const SettingsComparison& m_comparison;
    QTableWidget* m_table = nullptr;
    QCheckBox* m_clone = nullptr;
    QPushButton* m_write = nullptr;
};

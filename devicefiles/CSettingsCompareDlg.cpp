#include "CSettingsCompareDlg.h"

#include "CWinApp.h"
#include "MessageBoxTypes.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <vector>

namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

QLabel* WrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

CSettingsCompareDlg::CSettingsCompareDlg(const SettingsComparison& comparison,
                                         const std::string& fileDescription, QWidget* parent)
    : QDialog(parent), m_comparison(comparison) {
    setWindowTitle(QStringLiteral("Porównanie ustawień z plikiem"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(WrappedLabel(Utf8(fileDescription), this));

    if (comparison.serialsDiffer) {
        // The first row is the sensor's serial number.
        layout->addWidget(WrappedLabel(
            QStringLiteral("Plik pochodzi z innego czujnika: jego numer fabryczny (%1) nie jest "
                           "numerem tego urządzenia (%2).")
                .arg(Utf8(comparison.fields[0].fileValue), Utf8(comparison.fields[0].deviceValue)),
            this));
    }

    auto* tableLabel =
        new QLabel(QStringLiteral("&Ustawienia (zmienione na górze, oznaczone „≠”):"), this);
    layout->addWidget(tableLabel);
    m_table = new QTableWidget(static_cast<int>(comparison.fields.size()), 4, this);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Ustawienie"), QStringLiteral("Urządzenie"),
                                        QStringLiteral("Plik"), QStringLiteral("Zmiana")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab leaves the table; the arrows move within it.
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->setVisible(false);
    m_table->setAccessibleName(QStringLiteral("Ustawienia urządzenia i pliku"));
    tableLabel->setBuddy(m_table);
    // What differs first, each part in the dialogs' order: a few changes among forty rows.
    std::vector<const ComparedField*> rows;
    for (const bool changed : {true, false}) {
        for (const ComparedField& field : comparison.fields) {
            if (field.changed == changed) {
                rows.push_back(&field);
            }
        }
    }
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const ComparedField& field = *rows[static_cast<std::size_t>(row)];
        const QString cells[] = {Utf8(field.label), Utf8(field.deviceValue), Utf8(field.fileValue),
                                 field.changed ? QStringLiteral("≠ zmienione") : QString()};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (field.changed) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            m_table->setItem(row, column, item);
        }
    }
    m_table->resizeColumnsToContents();
    m_table->setMinimumWidth(560);
    m_table->setMinimumHeight(320);
    layout->addWidget(m_table);

    auto* bytesLabel =
        new QLabel(QStringLiteral("&Inne różniące się bajty (urządzenie → plik):"), this);
    layout->addWidget(bytesLabel);
    auto* bytes = new QPlainTextEdit(this);
    bytes->setReadOnly(true);
    bytes->setTabChangesFocus(true);
    bytes->setAccessibleName(QStringLiteral("Inne różniące się bajty"));
    bytes->setMaximumHeight(90);
    QString bytesText;
    for (const DifferingByte& difference : comparison.otherBytes) {
        bytesText += Utf8(DescribeByte(difference)) + QLatin1Char('\n');
    }
    bytes->setPlainText(bytesText.isEmpty() ? QStringLiteral("brak") : bytesText.trimmed());
    bytesLabel->setBuddy(bytes);
    layout->addWidget(bytes);

    QString toWrite;
    for (const RecordKind kind : comparison.recordsToWrite) {
        toWrite += (toWrite.isEmpty() ? "" : ", ") + QString::fromUtf8(InfoOf(kind).name);
    }
    layout->addWidget(WrappedLabel(
        toWrite.isEmpty()
            ? QStringLiteral("Urządzenie ma już ustawienia z pliku; nie ma czego zapisywać.")
            : QStringLiteral("Zapis do urządzenia obejmie: %1.").arg(toWrite),
        this));

    if (comparison.serialsDiffer) {
        m_clone = new QCheckBox(
            QStringLiteral("&Kopiuj wszystko poza numerem fabrycznym i rokiem produkcji"), this);
        m_clone->setAccessibleName(m_clone->text().remove(QLatin1Char('&')));
        connect(m_clone, &QCheckBox::toggled, this, [this] { UpdateWriteButton(); });
        layout->addWidget(m_clone);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_write = new QPushButton(QStringLiteral("Zapisz do urządzenia"), this);
    m_write->setAccessibleName(m_write->text());
    auto* close = new QPushButton(QStringLiteral("Zamknij"), this);
    close->setAccessibleName(close->text());
    close->setDefault(true);
    buttons->addWidget(m_write);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(m_write, &QPushButton::clicked, this, [this] { OnWrite(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    UpdateWriteButton();
    m_table->setFocus();
}

void CSettingsCompareDlg::OnWrite() {
    if (!m_comparison.beyondDialogLimits.empty()) {
        std::string text = "Zapis obejmie wartości, których okna ustawień nie przyjmują:";
        for (const std::string& line : m_comparison.beyondDialogLimits) {
            text += "\r\n" + line;
        }
        text += "\r\n\r\nZapisać je mimo to?";
        if (AfxMessageBox(text, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES) {
            return; // back to the comparison, nothing written
        }
    }
    accept();
}

void CSettingsCompareDlg::UpdateWriteButton() {
    const bool agreed = m_clone == nullptr || m_clone->isChecked();
    m_write->setEnabled(!m_comparison.recordsToWrite.empty() && agreed);
}

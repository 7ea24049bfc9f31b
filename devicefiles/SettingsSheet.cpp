#include "SettingsSheet.h"

#include "DecodedFields.h"

#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <vector>

namespace {

QString Cell(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

} // namespace

QString SettingsSheetHtml(const SettingsSnapshot& snapshot) {
    QString html = QStringLiteral("<h2>Arkusz ustawień czujnika QAL</h2><table cellpadding='3'>");
    const auto row = [&html](const QString& label, const QString& value) {
        html += QStringLiteral("<tr><td>%1</td><td><b>%2</b></td></tr>").arg(label, value);
    };
    const std::vector<DecodedField> fields = DecodeFields(snapshot.records);
    // The first field is the serial number, as the settings dialog and the table below show it.
    row(QStringLiteral("Numer fabryczny"), Cell(fields.front().value));
    row(QStringLiteral("Wersja urządzenia"),
        Cell(snapshot.deviceVersionText) +
            QStringLiteral(", wersja %1").arg(snapshot.deviceVersion));
    row(QStringLiteral("Połączenie"), QStringLiteral("%1, %2 b/s, adres %3")
                                          .arg(Cell(snapshot.port))
                                          .arg(snapshot.baudRate)
                                          .arg(snapshot.address));
    row(QStringLiteral("Czas komputera"), Cell(snapshot.savedAt));
    row(QStringLiteral("Wersja programu"), QString::number(snapshot.programVersion));
    html += QStringLiteral("</table><h3>Ustawienia</h3><table cellpadding='3' border='1' "
                           "cellspacing='0'>");
    for (const DecodedField& field : fields) {
        row(Cell(field.label), Cell(field.value));
    }
    html += QStringLiteral("</table>");
    return html;
}

bool WriteSettingsSheet(const QString& path, const SettingsSnapshot& snapshot, std::string& error) {
    // The writer says nothing about a file it cannot open; try first.
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly)) {
            error = "Nie można zapisać pliku: " + probe.errorString().toStdString();
            return false;
        }
    }
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setTitle(QStringLiteral("Arkusz ustawień QAL"));
    QTextDocument document;
    document.setHtml(SettingsSheetHtml(snapshot));
    document.print(&writer);
    return true;
}

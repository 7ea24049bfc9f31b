#include "SettingsSheet.h"

#include "DecodedFields.h"
#include "FileError.h"
#include "FileReplace.h"
#include "Utf8Path.h"

#include <QBuffer>
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
    // The page is made in memory and checked before the file is touched: the writer reports no
    // failure of its own, and a file replaced by half a PDF would pass for a sheet.
    QBuffer pdf;
    if (!pdf.open(QIODevice::WriteOnly)) {
        error = "Nie można utworzyć arkusza PDF.";
        return false;
    }
    {
        QPdfWriter writer(&pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(QStringLiteral("Arkusz ustawień QAL"));
        QTextDocument document;
        document.setHtml(SettingsSheetHtml(snapshot));
        document.print(&writer);
    } // the writer ends the document as it goes
    const QByteArray& bytes = pdf.data();
    if (!bytes.startsWith("%PDF-") || !bytes.trimmed().endsWith("%%EOF")) {
        error = "Nie można utworzyć arkusza PDF.";
        return false;
    }
    std::error_code failure;
    if (ReplaceFileContent(PathFromUtf8(path.toStdString()), bytes.constData(),
                           static_cast<std::size_t>(bytes.size()),
                           failure) != FileReplaceResult::Written) {
        error = CannotWriteFileText(path.toStdString(), failure);
        return false;
    }
    return true;
}

#include "MonitorTableModel.h"

#include "DeviceCommands.h"
#include "RowDecoder.h"
#include "RowText.h"
#include "UiText.h"

namespace {

// A cell in the program's language. The program's own words are translated; a device's text
// (its text messages, the text of a version answer) and noise stay as they came.
QString ShownCellText(const MonitorRow& row, int column) {
    const QString text = QString::fromStdString(CellText(row, column));
    switch (column) {
    case kColumnDirection:
    case kColumnCheck:
        return UiText(text);
    case kColumnCommand: {
        if (row.kind == RowKind::Noise) {
            return UiText(text);
        }
        const QString name = QString::fromStdString(CommandName(row.command));
        return name.isEmpty() ? text : text.left(text.size() - name.size()) + UiText(name);
    }
    case kColumnSummary:
        return row.kind == RowKind::Noise || row.command == CMD_TEXT ? text : UiText(text);
    default:
        return text;
    }
}

} // namespace

void CMonitorTableModel::Append(const std::vector<MonitorRecord>& rows) {
    if (rows.empty()) {
        return;
    }
    if (m_rows->Paused()) {
        m_rows->Append(rows); // counted only
        return;
    }
    const std::size_t overflow = m_rows->OverflowFor(rows.size());
    if (overflow != 0) {
        const std::size_t leaving = m_rows->VisibleAmongFirst(overflow);
        if (leaving != 0) {
            beginRemoveRows(QModelIndex(), 0, static_cast<int>(leaving) - 1);
        }
        m_rows->DropFront(overflow);
        if (leaving != 0) {
            endRemoveRows();
        }
    }
    const std::size_t coming = m_rows->CountVisible(rows);
    const int first = static_cast<int>(m_rows->VisibleCount());
    if (coming != 0) {
        beginInsertRows(QModelIndex(), first, first + static_cast<int>(coming) - 1);
    }
    m_rows->Append(rows);
    if (coming != 0) {
        endInsertRows();
    }
}

void CMonitorTableModel::Clear() {
    beginResetModel();
    m_rows->Clear();
    endResetModel();
}

void CMonitorTableModel::SetHidePolls(bool hide) {
    beginResetModel();
    m_rows->SetHidePolls(hide);
    endResetModel();
}

int CMonitorTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows->VisibleCount());
}

int CMonitorTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CMonitorTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return ShownCellText(Decoded(index.row()), index.column());
    case Qt::TextAlignmentRole:
        return index.column() == kColumnAnswer || index.column() == kColumnLength ||
                       index.column() == kColumnAddress
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    default:
        return {};
    }
}

const MonitorRow& CMonitorTableModel::Decoded(int visibleRow) const {
    const auto index = static_cast<std::size_t>(visibleRow);
    const std::uint64_t serial = m_rows->VisibleSerial(index);
    if (serial != m_decodedSerial) {
        m_decoded = m_rows->Visible(index);
        m_decodedSerial = serial;
    }
    return m_decoded;
}

QVariant CMonitorTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) {
        return {};
    }
    return UiText(ColumnTitle(section));
}

#pragma once

#include "MonitorRows.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

// The line monitor's rows as a table; rows come in batches (one insertion per batch).
class CMonitorTableModel : public QAbstractTableModel {
public:
    explicit CMonitorTableModel(CMonitorRows& rows, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_rows(&rows) {}

    // Adds a batch: the oldest rows make room first, as the store's bound asks.
    void Append(const std::vector<MonitorRecord>& rows);
    void Clear();
    void SetHidePolls(bool hide);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // The texts of one row: a view asks for a row's cells one after another.
    const MonitorRow& Decoded(int visibleRow) const;

    CMonitorRows* m_rows;
    mutable std::uint64_t m_decodedSerial = UINT64_MAX;
    mutable MonitorRow m_decoded;
};

#pragma once

#include "MonitorRows.h"

#include <QAbstractTableModel>

#include <vector>

// The line monitor's rows as a table; rows come in batches (one insertion per batch).
class CMonitorTableModel : public QAbstractTableModel {
public:
    explicit CMonitorTableModel(CMonitorRows& rows, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_rows(&rows) {}

    // Adds a batch: the oldest rows make room first, as the store's bound asks.
    void Append(const std::vector<MonitorRow>& rows);
    void Clear();
    void SetHidePolls(bool hide);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    CMonitorRows* m_rows;
};

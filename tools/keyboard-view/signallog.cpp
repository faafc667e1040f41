#include "signallog.h"

namespace {

const int ShowIntervalMilliseconds = 100;

} // namespace

SignalLog::SignalLog(QObject *parent) : QAbstractListModel(parent)
{
    m_show.setSingleShot(true);
    m_show.setInterval(ShowIntervalMilliseconds);
    connect(&m_show, &QTimer::timeout, this, &SignalLog::flush);
}

void SignalLog::append(const QString &line)
{
    m_pending.append(line);
    if (m_pending.size() > Capacity)
        m_pending.removeFirst();
    ++m_unshown;
    if (!m_show.isActive())
        m_show.start();
}

int SignalLog::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

QVariant SignalLog::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || index.parent().isValid() || index.row() < 0
        || index.row() >= m_rows.size())
        return QVariant();
    return m_rows.at(index.row());
}

// New rows are added at the end and every row's text moves down, so the panel keeps
// its delegates and only changes their texts.
void SignalLog::flush()
{
    m_show.stop();
    if (m_unshown == 0)
        return;
    QStringList rows;
    for (int i = m_pending.size() - 1; i >= 0; --i)
        rows.append(m_pending.at(i));
    for (int i = 0; i < m_rows.size() && rows.size() < Capacity; ++i)
        rows.append(m_rows.at(i));
    m_pending.clear();

    const int shownBefore = m_rows.size();
    if (rows.size() > shownBefore)
        beginInsertRows(QModelIndex(), shownBefore, rows.size() - 1);
    m_rows = rows;
    if (rows.size() > shownBefore)
        endInsertRows();
    if (shownBefore > 0)
        emit dataChanged(index(0), index(shownBefore - 1));

    m_total += m_unshown;
    m_unshown = 0;
    emit totalChanged();
}

#include "signallog.h"

namespace {

const int ShowIntervalMilliseconds = 100;

QString valueText(const QVariant &value)
{
    if (value.userType() == QMetaType::QString)
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    return value.toString();
}

} // namespace

SignalLog::SignalLog(QObject *parent) : QAbstractListModel(parent)
{
    m_show.setSingleShot(true);
    m_show.setInterval(ShowIntervalMilliseconds);
    connect(&m_show, &QTimer::timeout, this, &SignalLog::flush);
}

void SignalLog::appendSignal(const QMetaMethod &signal, const QVariantList &arguments)
{
    ++m_unshownSignals;
    append({signal, arguments, QByteArray()});
}

void SignalLog::appendCall(const QByteArray &method, const QVariant &result)
{
    ++m_unshownCalls;
    append({QMetaMethod(), result.isValid() ? QVariantList{result} : QVariantList(), method});
}

void SignalLog::append(Entry entry)
{
    m_pending.push_back(std::move(entry));
    if (m_pending.size() > Capacity)
        m_pending.pop_front();
    if (!m_show.isActive())
        m_show.start();
}

QString SignalLog::text(const Entry &entry)
{
    if (!entry.call.isEmpty()) {
        const QString call = QStringLiteral("call ") + QString::fromLatin1(entry.call);
        return entry.arguments.isEmpty()
                ? call
                : call + QStringLiteral(" → ") + valueText(entry.arguments.constFirst());
    }
    const QList<QByteArray> names = entry.signal.parameterNames();
    QString text = QString::fromLatin1(entry.signal.name()) + QLatin1Char('(');
    for (int i = 0; i < entry.arguments.size(); ++i) {
        if (i > 0)
            text += QStringLiteral(", ");
        text += QString::fromLatin1(names.value(i)) + QLatin1Char('=')
                + valueText(entry.arguments.at(i));
    }
    return text + QLatin1Char(')');
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
    if (m_pending.empty())
        return;
    QStringList rows;
    for (auto entry = m_pending.crbegin(); entry != m_pending.crend(); ++entry)
        rows.append(text(*entry));
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

    m_total += m_unshownSignals;
    m_calls += m_unshownCalls;
    m_unshownSignals = 0;
    m_unshownCalls = 0;
    emit totalChanged();
}

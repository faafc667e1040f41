#ifndef SIGNALLOG_H
#define SIGNALLOG_H

#include <QtCore/QAbstractListModel>
#include <QtCore/QStringList>
#include <QtCore/QTimer>

// The most recent signals of the processor, newest first, as "name(arg, arg)", for the
// view's signal panel. Signals come in thousands a second; the rows follow ten times a
// second, faster than anyone reads, so that a burst redraws the panel once rather than
// once per signal.
class SignalLog : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int total READ total NOTIFY totalChanged)
public:
    static const int Capacity = 200;

    explicit SignalLog(QObject *parent = nullptr);

    void append(const QString &line);
    // Shows the pending signals now rather than at the end of the interval.
    void flush();
    // Signals appended and shown so far.
    int total() const { return m_total; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

signals:
    void totalChanged();

private:
    QStringList m_rows; // newest first
    QStringList m_pending; // oldest first, at most Capacity
    int m_unshown = 0;
    int m_total = 0;
    QTimer m_show;
};

#endif // SIGNALLOG_H

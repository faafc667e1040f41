#ifndef SIGNALLOG_H
#define SIGNALLOG_H

#include <QtCore/QAbstractListModel>
#include <QtCore/QMetaMethod>
#include <QtCore/QStringList>
#include <QtCore/QTimer>
#include <QtCore/QVariantList>

#include <deque>

// The most recent signals of the processor and calls of the trace, newest first, for the
// view's log panel: "sig_changeInput(index=2)", "call getTbarMax → 1024". Signals come in
// thousands a second; the rows follow ten times a second, faster than anyone reads, so
// that a burst redraws the panel once rather than once per signal, and only the rows
// that will be shown are written out.
class SignalLog : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int total READ total NOTIFY totalChanged)
    Q_PROPERTY(int calls READ calls NOTIFY totalChanged)
public:
    static const int Capacity = 200;

    explicit SignalLog(QObject *parent = nullptr);

    void appendSignal(const QMetaMethod &signal, const QVariantList &arguments);
    // An invalid result stands for void.
    void appendCall(const QByteArray &method, const QVariant &result);
    // Shows the pending rows now rather than at the end of the interval.
    void flush();
    // Signals appended and shown so far.
    int total() const { return m_total; }
    // Calls appended and shown so far.
    int calls() const { return m_calls; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

signals:
    // More rows are shown.
    void totalChanged();

private:
    struct Entry
    {
        QMetaMethod signal; // none for a call
        QVariantList arguments; // a call's result, if any
        QByteArray call;
    };
    static QString text(const Entry &entry);
    void append(Entry entry);

    QStringList m_rows; // newest first
    std::deque<Entry> m_pending; // oldest first, at most Capacity
    int m_unshownSignals = 0;
    int m_unshownCalls = 0;
    int m_total = 0;
    int m_calls = 0;
    QTimer m_show;
};

#endif // SIGNALLOG_H

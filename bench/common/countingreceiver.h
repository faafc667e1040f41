#ifndef COUNTINGRECEIVER_H
#define COUNTINGRECEIVER_H

#include <QtCore/QObject>

// A receiver directly connected to every signal of an object, as a QML user
// interface is; it only counts, so a benchmark measures the sender's side.
class CountingReceiver : public QObject
{
    Q_OBJECT
public:
    explicit CountingReceiver(QObject *sender);

    qint64 count = 0;

public slots:
    void receive() { ++count; }
};

#endif // COUNTINGRECEIVER_H

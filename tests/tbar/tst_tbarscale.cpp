#include "tbarscale.h"

#include <QtTest/QtTest>

class tst_TbarScale : public QObject
{
    Q_OBJECT
private slots:
    void alphaIsAnEighthOfThePosition();
};

// The take handling expects alpha = position / 8 over the whole scale; the float
// formula must not round any position differently.
void tst_TbarScale::alphaIsAnEighthOfThePosition()
{
    for (int position = 0; position <= TbarScale::FullScale; ++position)
        QCOMPARE(TbarScale::alpha(position), position / 8);
}

QTEST_GUILESS_MAIN(tst_TbarScale)
#include "tst_tbarscale.moc"

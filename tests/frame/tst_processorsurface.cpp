#include "uiprocdealkeypress_vorn_desktop.h"

#include <QtCore/QMetaMethod>
#include <QtTest/QtTest>

Q_DECLARE_METATYPE(QMetaMethod::MethodType)

// QML binds to the processor by name only: signal names, argument types and argument
// names, slot and invokable signatures. processorsurface.expected lists the contract,
// one method per line in declaration order; any drift breaks the user interface.
class tst_ProcessorSurface : public QObject
{
    Q_OBJECT
private slots:
    void methods_data();
    void methods();
    void nothingElseOnTheSurface();
};

namespace {

const char *const MethodKinds[] = {"method", "signal", "slot", "constructor"};

QString describe(const QMetaMethod &method)
{
    QStringList parameters;
    for (int i = 0; i < method.parameterCount(); ++i) {
        const QByteArray name = method.parameterNames().at(i);
        parameters.append(QString::fromLatin1(method.parameterTypes().at(i)
                                              + (name.isEmpty() ? "" : " " + name)));
    }
    QString text = QStringLiteral("%1 %2 %3(%4)")
                           .arg(QLatin1String(MethodKinds[method.methodType()]),
                                QLatin1String(method.typeName()), QLatin1String(method.name()),
                                parameters.join(QStringLiteral(", ")));
    if (method.attributes() & QMetaMethod::Cloned)
        text += QStringLiteral(" cloned");
    if (method.access() != QMetaMethod::Public)
        text += QStringLiteral(" not public");
    return text;
}

} // namespace

void tst_ProcessorSurface::methods_data()
{
    QTest::addColumn<QMetaMethod::MethodType>("type");
    QTest::addColumn<int>("count");
    QTest::newRow("signals") << QMetaMethod::Signal << 75;
    QTest::newRow("slots") << QMetaMethod::Slot << 6;
    QTest::newRow("invokables") << QMetaMethod::Method << 20;
}

void tst_ProcessorSurface::methods()
{
    QFETCH(QMetaMethod::MethodType, type);
    QFETCH(int, count);

    QFile file(QStringLiteral(SURFACE_FILE));
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.errorString()));
    const QString kind = QLatin1String(MethodKinds[type]) + QLatin1Char(' ');
    QStringList expected;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(kind))
            expected.append(line);
    }
    QCOMPARE(expected.size(), count);

    const QMetaObject &meta = UiprocDealKeyPress_Vorn_Desktop::staticMetaObject;
    QStringList actual;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        if (meta.method(i).methodType() == type)
            actual.append(describe(meta.method(i)));
    }
    QCOMPARE(actual, expected);
}

void tst_ProcessorSurface::nothingElseOnTheSurface()
{
    const QMetaObject &meta = UiprocDealKeyPress_Vorn_Desktop::staticMetaObject;
    QCOMPARE(meta.superClass(), &QObject::staticMetaObject);
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 75 + 6 + 20);
    QCOMPARE(meta.propertyCount(), meta.propertyOffset());
    QCOMPARE(meta.enumeratorCount(), meta.enumeratorOffset());
    QCOMPARE(meta.constructorCount(), 0);
    QCOMPARE(meta.classInfoCount(), meta.classInfoOffset());
}

QTEST_GUILESS_MAIN(tst_ProcessorSurface)
#include "tst_processorsurface.moc"

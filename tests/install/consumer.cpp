#include <public_vorn_taskcmdprocess_desktop.h>
#include <uiprocdealkeypress_vorn_desktop.h>

#include <QtCore/QCoreApplication>
#include <QtQml/QQmlComponent>
#include <QtQml/QQmlEngine>

#include <cstdio>
#include <memory>

// Hands over a model and mutex as the host does, registers the QML type and creates it;
// exits 0 only when QML made a processor of the installed library.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Model_VOrnParam model;
    QMutex mutex;
    Public_Vorn_TaskCmdProcess_Desktop::setKeyBoardVar(&model, &mutex);
    Public_Vorn_TaskCmdProcess_Desktop::initRegisterType_Vorn_Desktop();

    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import vorn.UiprocDealKeyPress 1.0\nDealKeyPress {}\n", QUrl());
    const std::unique_ptr<QObject> object(component.create());
    if (!qobject_cast<UiprocDealKeyPress_Vorn_Desktop *>(object.get())) {
        fprintf(stderr, "no DealKeyPress: %s\n", qPrintable(component.errorString()));
        return 1;
    }
    return 0;
}

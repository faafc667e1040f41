#include "uiprocmain_vorn_desktop.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QStringList>

#include <optional>

BizCmdsWork *uiprocmain_VORN_Desktop::biz_cmdswork = nullptr;
CoreUSB *uiprocmain_VORN_Desktop::icoreUSB = nullptr;

namespace {

std::optional<QString> &recordedBootArgument()
{
    static std::optional<QString> argument;
    return argument;
}

} // namespace

QString uiprocmain_VORN_Desktop::getBootArgv1()
{
    if (recordedBootArgument())
        return *recordedBootArgument();
    return QCoreApplication::arguments().value(1);
}

void uiprocmain_VORN_Desktop::setBootArgv1(const QString &argument)
{
    recordedBootArgument() = argument;
}

#include "public_vorn_taskcmdprocess_desktop.h"

#include "uiprocdealkeypress_vorn_desktop.h"

#include <QtQml/QQmlEngine>

Model_VOrnParam *Public_Vorn_TaskCmdProcess_Desktop::m_vornModel = nullptr;
QMutex *Public_Vorn_TaskCmdProcess_Desktop::m_vornMutex = nullptr;

void Public_Vorn_TaskCmdProcess_Desktop::setKeyBoardVar(Model_VOrnParam *model, QMutex *mutex)
{
    m_vornModel = model;
    m_vornMutex = mutex;
}

void Public_Vorn_TaskCmdProcess_Desktop::getKeyBoardVar(Model_VOrnParam **model, QMutex **mutex)
{
    *model = m_vornModel;
    *mutex = m_vornMutex;
}

void Public_Vorn_TaskCmdProcess_Desktop::initRegisterType_Vorn_Desktop()
{
    qmlRegisterType<UiprocDealKeyPress_Vorn_Desktop>("vorn.UiprocDealKeyPress", 1, 0,
                                                     "DealKeyPress");
}

#include "uiproctake.h"

UiprocTake *Public_Desktop::puiTake = nullptr;

bool UiprocTake::getIsTbarMode() const
{
    return m_tbarMode;
}

void UiprocTake::dealTbar(int alpha)
{
    emit tbarDealt(alpha);
}

void UiprocTake::setIsTbarMode(bool on)
{
    m_tbarMode = on;
}

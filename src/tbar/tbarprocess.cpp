#include "tbarprocess.h"

#include <uiprocmain_vorn_desktop.h>

bool TbarProcess::isCurrent()
{
    return uiprocmain_VORN_Desktop::getBootArgv1() == QLatin1String("Tbar");
}

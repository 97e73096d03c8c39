#include "platform/XdgPaths.h"
#include "system/Clock.h"

QString ownLayerProbe()
{
    return XdgPaths::DataHome();
}

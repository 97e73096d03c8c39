#include "system/cWinVer.h"

cWinVer::cWinVer() : m_platformId(WindowsNT)
{
}

cWinVer::cWinVer(int platformId) : m_platformId(platformId)
{
}

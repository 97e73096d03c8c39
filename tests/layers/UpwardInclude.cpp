#include "engine/CheckHost.h"

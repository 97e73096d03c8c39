#pragma once

#include <QString>

namespace SystemInformation {

// A program that shows the system's hardware and software, found on PATH; empty when there is
// none.
QString Program();

} // namespace SystemInformation

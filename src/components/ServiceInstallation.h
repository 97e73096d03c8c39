#pragma once

#include <QString>

class NTService;
class Prompt;

// Running without a user starting the program: as a service where the platform has them
// (platform id 2), otherwise from the list of programs started at log-on.
namespace ServiceInstallation {

// Brings the machine in line with the "Install as a service" switch, and acts only when the
// switch and what is installed disagree. Services are installed and removed through
// `NTService1` and the outcome is shown; the log-on entry is written silently. False when
// the machine could not be brought in line: the switch should show what the machine has.
bool UpdateServiceSetting(int platformId, bool Service, NTService& NTService1, Prompt& prompt);

// An executable as a desktop entry's command line: quoted, its escapes in place.
QString AutostartCommandLine(const QString& executable);

} // namespace ServiceInstallation

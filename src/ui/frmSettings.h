#pragma once

#include "settings/Settings.h"
#include "system/cWinVer.h"

#include <QDialog>

class NTService;
class Prompt;
class ProgramController;

// The settings dialog: shows the program controller's settings, and on Save writes them to the
// store, has the controller load them and brings the service installation in line with them
// (a switch the machine could not follow is saved back). Neither button answers Enter or
// Escape; Cancel and the close box write nothing.
class frmSettings : public QDialog
{
    Q_OBJECT
public:
    frmSettings(ProgramController& owner, NTService& NTService1, Prompt& prompt,
                int platformId = cWinVer().WinverPlatform());

    // Index 0 is Save, 1 is Cancel.
    void cmdDone_Click(int Index);
    bool UpdateServiceSetting();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    ControlValues values() const;

    ProgramController& m_owner;
    NTService& m_service;
    Prompt& m_prompt;
    cWinVer m_platform;
};

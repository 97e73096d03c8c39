#pragma once

#include <QDialog>

class ProgramController;

// The settings dialog: shows the program controller's settings and on Save hands what was typed
// to the controller, which saves it, loads it and installs or removes the service. Neither
// button answers Enter or Escape; Cancel and the close box write nothing.
class frmSettings : public QDialog
{
    Q_OBJECT
public:
    explicit frmSettings(ProgramController& owner);

    // Index 0 is Save, 1 is Cancel.
    void cmdDone_Click(int Index);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void Form_Load();

    ProgramController& m_owner;
};

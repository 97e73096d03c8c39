#pragma once

#include <QDialog>

class ProgramController;
class QLineEdit;

// Where the addresses go beside the FTP server: the page switched on or off, a DNS name kept by
// RFC 2136 updates signed with TSIG, names at a dyndns2 provider and a command run after a
// change. Each control edits one key of the settings file; Save hands them to the controller.
class frmTargets : public QDialog
{
    Q_OBJECT
public:
    explicit frmTargets(ProgramController& program, QWidget* parent = nullptr);

    // Index 0 is Save, 1 is Cancel.
    void cmdDone_Click(int Index);
    // Asks for a key file and fills in the key it holds.
    void ImportKeyFile();

private:
    QWidget* add(QWidget* control, const QString& key, const QString& toolTip);
    QLineEdit* field(const QString& key, const QString& toolTip);

    ProgramController& m_program;
};

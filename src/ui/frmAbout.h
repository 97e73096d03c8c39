#pragma once

#include <QDialog>

class ProgramController;
class QLabel;
class QPushButton;

// The About box: the program's icon, title, version and copyright, the support lines, and
// buttons that start the system-information program or open the web site.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(ProgramController& program, QWidget* parent = nullptr);

    // Has the program start the system-information viewer, which says when it cannot.
    void StartSysInfo();

private:
    void Form_Load();
    void WebLaunch(const QString& address);

    ProgramController& m_program;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblCopyright;
};

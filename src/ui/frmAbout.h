#pragma once

#include <QDialog>

class CommandRunner;
class Prompt;
class QLabel;
class QPushButton;

// The About box: the program's icon, title, version and copyright, the support lines, and
// buttons that start the system-information program or open the web site.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    frmAbout(CommandRunner& runner, Prompt& prompt, QWidget* parent = nullptr);

    // Finds the system-information program and starts it on its own, or says it cannot.
    void StartSysInfo();
    // Reads a registry value as text into `KeyVal`; false, with `KeyVal` emptied, when
    // nothing could be read.
    static bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                            QString& KeyVal);

private:
    void Form_Load();
    void WebLaunch(const QString& address);

    CommandRunner& m_runner;
    Prompt& m_prompt;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblCopyright;
};

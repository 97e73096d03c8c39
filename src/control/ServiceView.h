#pragma once

#include "control/ProgramView.h"
#include "system/AppIdentity.h"

// The view of a program nobody looks at: the service. It shows nothing and keeps only the
// caption a check sets and restores; the history reaches the journal through standard error.
class ServiceView final : public ProgramView
{
public:
    void StartupBegins() override {}
    void StartupEnds() override {}
    void ShowMain(bool) override {}
    void RaiseWindow(const QByteArray&) override {}
    void HideWindow() override {}
    bool Unseen() const override { return true; }
    void EnableTrayIcon(bool) override {}
    bool ShowsClock() const override { return false; }
    void QuitHelp() override {}

    QString Caption() const override { return m_caption; }
    void SetCaption(const QString& caption) override { m_caption = caption; }
    void ShowStarted(const QString&) override {}
    void ShowTime(const QString&) override {}
    void ShowWaitTime(const QString&) override {}
    void ShowAddressPanel(const QString&, const QString&) override {}
    void ShowAutoUpdate(bool) override {}
    void ControlsEnable(bool) override {}

    void ClearEvents() override {}
    void ShowEvent(const QString&) override {}
    void ShowFtpStats(qint32, qint32) override {}
    void ShowFtpError(const QString&) override {}

    void Notify(const QString&, const QString&) override {}

private:
    QString m_caption = AppIdentity::Title();
};

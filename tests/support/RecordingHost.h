#pragma once

#include "engine/CheckHost.h"

#include <QStringList>

#include <functional>

// A window stand-in that keeps everything a check shows.
class RecordingHost final : public CheckHost
{
public:
    void ClearEvents() override { history.clear(); }
    void EventMsg(const QString& msg) override
    {
        history.append(msg);
        if (onEvent)
            onEvent(msg);
    }
    void ShowAddressPanel(const QString& text, const QString& ipv6Text) override
    {
        addressPanel = text;
        ipv6Panel = ipv6Text;
    }
    void ControlsEnable(bool TrueFalse) override { controlStates.append(TrueFalse); }
    void LoadTimer() override { ++timerLoads; }
    QString Caption() const override { return caption; }
    void SetCaption(const QString& text) override
    {
        caption = text;
        captions.append(text);
    }
    void ShowFtpStats(qint32 errorCount, qint32 uploadCount) override
    {
        errorsShown = errorCount;
        uploadsShown = uploadCount;
    }
    void AddFtpErrorLine(const QString& line) override { ftpErrorLines.append(line); }

    // Called after each history line, to act in the middle of a check.
    std::function<void(const QString&)> onEvent;
    QStringList history;
    QString addressPanel;
    QString ipv6Panel;
    QList<bool> controlStates;
    int timerLoads = 0;
    QString caption = QStringLiteral("HostVane");
    QStringList captions;
    qint32 errorsShown = -1;
    qint32 uploadsShown = -1;
    QStringList ftpErrorLines;
};

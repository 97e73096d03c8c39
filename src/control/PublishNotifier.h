#pragma once

class DesktopNotice;

// Tells a user who cannot see the window that publishing fails, once for a run of failed
// publishes, and once more when a publish succeeds again after that. Checks that did not
// publish change nothing, and a service, which has no user at the desktop, tells nothing.
class PublishNotifier
{
public:
    explicit PublishNotifier(DesktopNotice& notice) : m_notice(notice) {}

    // After each check: `Published` whether it tried to publish, `Success` whether the page got
    // onto the server, `Unseen` whether the window was hidden or minimised, `Service` whether
    // the program runs as a service.
    void CheckFinished(bool Published, bool Success, bool Unseen, bool Service);

private:
    DesktopNotice& m_notice;
    bool m_failureTold = false;
};

#pragma once

#include <QDateTime>
#include <QFrame>
#include <QTimer>

class Clock;
class QLabel;

// The start-up card: the company line, the product title, platform, version and copyright over
// the logo. It stays above other windows and closes itself five seconds after it was loaded,
// or at once on a click anywhere on it or a key press while it has the focus. It deletes
// itself when it closes.
class frmSplash : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kShowSeconds = 5;

    explicit frmSplash(const Clock& clock, QWidget* parent = nullptr);

    // Timer1's tick: closes the card once its time is up by the clock.
    void Timer1_Timer();
    bool TimerRunning() const { return Timer1.isActive(); }
    // Keeps the card above `window`, just shown. Where a program cannot raise its windows
    // (Wayland), the card is shown again as the window's child, which the desktop keeps on
    // top of it; elsewhere raising already does.
    void StayAbove(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void SetTopMost();
    void buildControls();

    const Clock& m_clock;
    QDateTime m_loadedAt;
    QTimer Timer1;
    QLabel* lblProductName = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
};

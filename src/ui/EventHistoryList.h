#pragma once

#include <QListWidget>
#include <QTimer>

// The event history's list box. A line appended becomes the selected last line at once; the
// view lays itself out and scrolls to it once, when window events are next served, so a burst
// of lines costs each line the same however long the list already is.
class EventHistoryList : public QListWidget
{
public:
    explicit EventHistoryList(QWidget* parent);

    void appendSelected(const QString& line);

private:
    QTimer m_showNewest;
};

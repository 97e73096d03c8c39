#include "ui/EventHistoryList.h"

#include <QSignalBlocker>
#include <QStyle>

EventHistoryList::EventHistoryList(QWidget* parent) : QListWidget(parent)
{
    m_showNewest.setSingleShot(true);
    m_showNewest.setInterval(0);
    connect(&m_showNewest, &QTimer::timeout, this, [this] {
        scrollToItem(currentItem());
        viewport()->update();
    });
}

void EventHistoryList::appendSelected(const QString& line)
{
    // Measured once here, a line is not measured again each time the view lays itself out.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.text = line;
    option.features |= QStyleOptionViewItem::HasDisplay;
    auto* item = new QListWidgetItem(line);
    item->setSizeHint(style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this));
    addItem(item);
    {
        // Told of each change, the view would lay out every line again to find the new one.
        const QSignalBlocker quiet(selectionModel());
        setCurrentRow(count() - 1);
    }
    if (!m_showNewest.isActive())
        m_showNewest.start();
}

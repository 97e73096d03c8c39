#pragma once

#include <QComboBox>

#include <utility>

// The connection identifier: typed as before, or chosen from the platform's default, the
// adapters the last address report listed and the public address. Choosing reads nothing
// and asks nobody: the list comes from the listing already on disk.
class IdentifierBox : public QComboBox
{
    Q_OBJECT
public:
    IdentifierBox(const QString& defaultIdentity, const QList<std::pair<QString, QString>>& listed,
                  QWidget* parent);

    static constexpr int kMaxIdentifier = 20;

private:
    void offer(const QString& identity, const QString& toolTip);
};

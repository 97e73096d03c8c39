#pragma once

#include <QString>
#include <QVariantMap>

class QWidget;

// The controls of a settings dialog, each bound to the key of the settings file it edits: a text
// box or combo box holds a text, a check box true or false.
namespace SettingControls {

void Bind(QWidget& control, const QString& key);
// Shows each of `values` in the control bound to its key; the other controls stay as they are.
void Show(const QWidget& dialog, const QVariantMap& values);
// What the bound controls hold, by key.
QVariantMap Typed(const QWidget& dialog);

} // namespace SettingControls

#include "ui/SettingControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace SettingControls {

namespace {

constexpr char kKeyProperty[] = "settingsKey";

QString keyOf(const QWidget& control)
{
    return control.property(kKeyProperty).toString();
}

} // namespace

void Bind(QWidget& control, const QString& key)
{
    control.setProperty(kKeyProperty, key);
}

void Show(const QWidget& dialog, const QVariantMap& values)
{
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
        const auto value = values.constFind(keyOf(*control));
        if (value == values.cend())
            continue; // not bound, as a label or a combo box's own line, or not shown now
        if (auto* box = qobject_cast<QLineEdit*>(control))
            box->setText(value->toString());
        else if (auto* combo = qobject_cast<QComboBox*>(control))
            combo->setCurrentText(value->toString());
        else if (auto* check = qobject_cast<QCheckBox*>(control))
            check->setChecked(value->toBool());
    }
}

QVariantMap Typed(const QWidget& dialog)
{
    QVariantMap typed;
    for (const QWidget* control : dialog.findChildren<QWidget*>()) {
        const QString key = keyOf(*control);
        if (key.isEmpty())
            continue;
        if (const auto* box = qobject_cast<const QLineEdit*>(control))
            typed.insert(key, box->text());
        else if (const auto* combo = qobject_cast<const QComboBox*>(control))
            typed.insert(key, combo->currentText());
        else if (const auto* check = qobject_cast<const QCheckBox*>(control))
            typed.insert(key, check->isChecked());
    }
    return typed;
}

} // namespace SettingControls

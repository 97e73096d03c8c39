#pragma once

#include <QString>

// What a server or libcurl said, made fit to be shown and written to a terminal or a journal:
// every control character (an escape sequence, a bell, a bare carriage return) is written as
// "\xNN", and whole occurrences of `password` are masked. A password shorter than
// kMaskedPasswordLength is not masked: blanking every "5" of a reply would only give it away.
QString PrintableServerText(const QString& text, const QString& password);

constexpr qsizetype kMaskedPasswordLength = 4;

#include "report/TextBox.h"

#include <QRegularExpression>

namespace tavolux::report {

void TextBox::setText(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    Lines = text.isEmpty() ? QStringList() : text.split(breaks);
}

} // namespace tavolux::report

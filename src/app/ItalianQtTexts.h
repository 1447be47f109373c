#pragma once

#include <QTranslator>

namespace tavolux {

// The Italian texts of Qt's own dialogs that Qt's Italian catalogue lacks:
// the print dialog's page range and two-sided printing, the file dialog's
// "Folder". Installed after Qt's catalogue, so it is asked first; every other
// text it leaves to Qt's.
class ItalianQtTexts : public QTranslator
{
    Q_OBJECT
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};

} // namespace tavolux

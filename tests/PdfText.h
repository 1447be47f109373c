#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

// The words of a PDF file with their boxes in mm from the top-left corner of
// their page, read back with poppler's `pdftotext -bbox`.
struct PdfWord
{
    QString text;
    QRectF mm;
    int page = 0;
};

struct PdfText
{
    QString error;          // empty when the file was read
    QList<QSizeF> pagesMm;  // page sizes
    QList<PdfWord> words;

    QList<PdfWord> find(const QString &text) const;
    // The words of one page, in reading order, joined by blanks.
    QString pageText(int page) const;
};

PdfText readPdfText(const QString &path);

// The document title stored in the PDF (pdfinfo), or empty.
QString pdfTitle(const QString &path);

#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

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
    // The font descent the file declares, in 1/1000 of the font size
    // (negative); NaN when its fonts declare different ones. pdftotext puts a
    // word's bottom edge that far below the baseline. (The top edge depends on
    // the declared ascent, which some producers take from the bounding box of
    // the glyphs used, so only the baseline is a fixed point.)
    double descent = 0;

    QList<PdfWord> find(const QString &text) const;
    // The baseline of a word set in a font of that size, in mm from the top of
    // the sheet; for a word turned by 90 degrees (a landscape page printed on
    // a portrait sheet), from the sheet's left edge.
    double baselineMm(const PdfWord &word, double pointSize, bool turned = false) const;
    // Where a printed line starts in the frame of its page, in mm from the
    // page's top-left corner: the left edge of its first word and the top of
    // its line, the baseline less the font's ascent (ascentMm). A landscape
    // page that CUPS turned onto a portrait sheet (LandscapeOrientation
    // Plus90: the text runs up the sheet) is turned back.
    QPointF lineStartMm(const PdfWord &word, double pointSize, double ascentMm, bool landscape = false) const;
    // The words of one page, in reading order, joined by blanks.
    QString pageText(int page) const;
};

PdfText readPdfText(const QString &path);
// The page and word lines of `pdftotext -bbox` as it writes them, without
// their indentation: the text positions of a PDF, to compare byte for byte.
QStringList pdfBoxLines(const QString &path, QString *error);

// One run of characters in one font and size, as MuPDF's structured text
// (`mutool draw -F stext`) gives it: the size is the font size times the
// scale of the text and page matrices, so the size the text is seen at.
struct PdfChar
{
    QChar c;
    double xMm = 0;       // the character's origin, from the page's left edge
    double advanceMm = 0; // the width of its quad along the line
};

struct PdfRun
{
    int page = 0;
    QString font;
    double pointSize = 0;
    QString text;
    QList<PdfChar> chars;
};

struct PdfRuns
{
    QString error; // empty when the file was read
    int pages = 0;
    QList<PdfRun> runs;

    // The runs whose text contains "text".
    QList<PdfRun> containing(const QString &text) const;
};

PdfRuns readPdfRuns(const QString &path);

// The document title stored in the PDF (pdfinfo), or empty.
QString pdfTitle(const QString &path);

#include "help/HelpDocument.h"

#include "help/HelpTopic.h"
#include "help/Maker.h"

#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

namespace tavolux {

namespace {

QString titlePage()
{
    QString html = QStringLiteral("<p align=\"center\" style=\"margin-top: 220px; font-size: 40pt; font-weight: bold; "
                                  "color: #1F4FB0\">Tavolux</p>"
                                  "<p align=\"center\" style=\"font-size: 18pt\">Guida all'utilizzo del software</p>"
                                  "<p align=\"center\" style=\"margin-top: 60px\">");
    html += maker::name().toHtmlEscaped() + QStringLiteral("<br>") + maker::webSite().toHtmlEscaped()
        + QStringLiteral("</p><p align=\"center\" style=\"margin-top: 60px; font-weight: bold\">Indice</p>");
    for (HelpTopic topic : helpTopics())
        html += QStringLiteral("<p align=\"center\">") + helpTitle(topic).toHtmlEscaped() + QStringLiteral("</p>");
    return html;
}

// Each topic starts on a page of its own.
QString topicPages(HelpTopic topic)
{
    QString html = QStringLiteral("<h1 style=\"page-break-before: always; color: #DC143C\">")
        + helpTitle(topic).toHtmlEscaped() + QStringLiteral("</h1>");
    for (const QString &paragraph : helpParagraphs(topic))
        html += QStringLiteral("<p align=\"justify\">") + paragraph.toHtmlEscaped() + QStringLiteral("</p>");
    return html;
}

} // namespace

bool writeHelpDocument(const QString &path)
{
    QString html = QStringLiteral("<html><body>") + titlePage();
    for (HelpTopic topic : helpTopics())
        html += topicPages(topic);
    html += QStringLiteral("</body></html>");

    QFile::remove(path);
    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("Tavolux - Guida all'utilizzo del software"));
    writer.setCreator(QStringLiteral("Tavolux"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    QTextDocument document;
    // Plain glyphs, no ligatures, so the text reads back (and searches) as written.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(11);
    font.setStyleStrategy(QFont::PreferNoShaping);
    document.setDefaultFont(font);
    document.setHtml(html);
    // Printing a document without a page size of its own numbers the pages.
    document.print(&writer);
    return QFile::exists(path) && QFile(path).size() > 0;
}

} // namespace tavolux

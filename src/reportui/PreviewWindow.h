#pragma once

#include <QDialog>

#include <QSizeF>

class QLabel;
class QToolButton;

namespace tavolux::report {

class PagesView;
class Report;

// The modal preview of a report's prepared pages: the pages one under the
// other on a grey desk, and a toolbar with only the buttons the report offers.
// Its caption is the report's name; it opens at 100 % zoom.
class PreviewWindow : public QDialog
{
    Q_OBJECT
public:
    explicit PreviewWindow(Report &report, QWidget *parent = nullptr);

    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    void fitWidth();
    void fitPage();
    int currentPage() const { return m_page; }
    void showPage(int index);
    // A page's size on the screen at the zoom, in pixels.
    QSizeF pageSizeOnScreen() const;

    // Offered buttons; nullptr where the report does not offer them.
    QToolButton *btnStampa = nullptr;
    QToolButton *btnZoom = nullptr;
    QToolButton *btnSchermoIntero = nullptr;
    QToolButton *btnChiudi = nullptr;
    QToolButton *btnPrima = nullptr;
    QToolButton *btnPrecedente = nullptr;
    QToolButton *btnSuccessiva = nullptr;
    QToolButton *btnUltima = nullptr;
    QLabel *lblPagina = nullptr;

private slots:
    void print();
    void toggleFullScreen();

private:
    // Lays the report out again after one of its controls changed it.
    void relayout();
    void updateLabels();
    double pixelsPerUnit() const;
    PagesView *view() const;

    Report &m_report;
    QWidget *m_pages = nullptr;
    double m_zoom = 1.0;
    int m_page = 0;
};

} // namespace tavolux::report

#pragma once

#include "labelformats/LabelProduct.h"

#include <QWidget>

namespace tavolux {

// A label sheet drawn to scale: the page's outline and every label with its
// corner radius, as large as the widget holds. It paints on its own (the
// report engine's painter has no rounded rectangles).
class SheetDrawing : public QWidget
{
    Q_OBJECT
public:
    explicit SheetDrawing(QWidget *parent = nullptr);

    void setProduct(const LabelProduct &product);
    const LabelProduct &product() const { return m_product; }
    // Millimetres to pixels as last painted (0 before that).
    double scale() const;
    QSize sizeHint() const override { return QSize(260, 340); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Where the page goes in the widget, in pixels.
    QRectF pageRect() const;

    LabelProduct m_product;
};

} // namespace tavolux

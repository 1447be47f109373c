#pragma once

#include <QWidget>

namespace tavolux {

// A yellow box behind an edit field, its border fading from yellow to white;
// shown only while the field has the focus, and kept around the field.
class FocusGlow : public QWidget
{
    Q_OBJECT
public:
    FocusGlow(QWidget *field, const char *name);

    static constexpr int Margin = 7;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void follow();

    QWidget *m_field;
};

} // namespace tavolux

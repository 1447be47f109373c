#pragma once

#include <QComboBox>

namespace tavolux::ui {

// A drop-down list that assistive tools name by its accessible name, with
// its chosen item as the value (Qt's own gives them the chosen item as the
// name on this desktop, so two lists of one window sound alike).
class NamedComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit NamedComboBox(QWidget *parent = nullptr);
};

} // namespace tavolux::ui

// Shape: an outline drawn over the window, here a rounded rectangle with a
// solid border in the window-text colour and a transparent interior.
#pragma once

#include <QWidget>

namespace letro {

class Shape : public QWidget
{
    Q_OBJECT

public:
    explicit Shape(int borderWidth, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_borderWidth;
};

} // namespace letro

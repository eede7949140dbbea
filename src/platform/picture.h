#pragma once

#include <QLabel>

// A picture control: shows its picture unscaled from the top left corner and reports a
// click (a press and release of the left button over it).
class TImage : public QLabel {
    Q_OBJECT

public:
    explicit TImage(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

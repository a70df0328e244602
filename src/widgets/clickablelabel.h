#pragma once

#include <QLabel>

// A label that reports a left click, for pictures and web links; screen readers
// see a link they can follow.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

#pragma once

#include <QLabel>
#include <QUrl>

// A label that reports a left click, for pictures and web links. Given an
// address it is a link: Tab reaches it, Enter and Space follow it as a click
// does, and screen readers see a link named by its text, or by the address it
// opens when it shows a picture (the picture's name is its description).
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget *parent = nullptr);

    // Makes the label a link that hands `url` to the desktop when followed.
    void setAddress(const char *url);
    QUrl address() const { return m_address; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void follow();

    QUrl m_address;
};

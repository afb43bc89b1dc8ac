#pragma once
#include <QFrame>
#include <QLabel>

namespace kadro {

// A label that reacts like a link: red and a hand pointer under the mouse, a click signal.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& caption, const QString& hint, QWidget* parent);
    QString hint() const { return m_hint; }
    // The caption's colour: black, red under the mouse.
    void setColour(const QColor& colour);
    QColor colour() const;

signals:
    void clicked();
    void hovered(LinkLabel* label);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QString m_hint;
};

// The white start page with its entries.
class StartPage : public QFrame {
    Q_OBJECT
public:
    explicit StartPage(QWidget* parent);

    // The banner above the entries, painted at the given size.
    static QPixmap paintBanner(const QSize& size);

    // All entry labels black again (the pointer moved over the page itself).
    void resetHover();
    void setHover(LinkLabel* label);

    QLabel* Banner = nullptr;
    LinkLabel* VideoAbspielenLabel = nullptr;
    LinkLabel* PraesentationErstellenLabel = nullptr;
    LinkLabel* vstLabel[5] = {};
    LinkLabel* BeendenLabel = nullptr;
    LinkLabel* FAQLabel = nullptr;
    LinkLabel* InfoLabel = nullptr;

signals:
    void hintChanged(const QString& text, bool keepCurrent);
    void rightPressed(const QPoint& globalPos);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QList<LinkLabel*> m_labels;
};

} // namespace kadro

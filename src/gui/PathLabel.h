#pragma once

#include <QLabel>
#include <QResizeEvent>

// A line that names a path: shortened in its middle where the room is too small (its
// tooltip and accessible name hold it whole), so that a long path never widens the window.
class PathLabel final : public QLabel {
public:
    using QLabel::QLabel;

    void SetFullText(const QString& text) {
        full_ = text;
        setToolTip(text);
        setAccessibleName(text);
        elide();
    }
    const QString& FullText() const { return full_; }

    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
    QSize sizeHint() const override { return {0, QLabel::sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        elide();
    }

private:
    void elide() { setText(fontMetrics().elidedText(full_, Qt::ElideMiddle, width())); }

    QString full_;
};

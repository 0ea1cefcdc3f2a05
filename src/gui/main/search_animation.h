#pragma once
// The small looping animation played while a search runs: a magnifier
// sweeping over a row of icons, painted by the program itself, so there is
// no clip file to go missing.

#include <QTimer>
#include <QWidget>

namespace gb {

class SearchAnimation : public QWidget {
    Q_OBJECT
public:
    explicit SearchAnimation(QWidget* parent = nullptr);
    void play();
    void stop();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    int frame_ = 0;
};

} // namespace gb

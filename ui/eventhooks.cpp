#include "ui/eventhooks.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace velmoran {

namespace {

class KeyPressHook : public QObject {
public:
    KeyPressHook(QWidget* control, std::function<void(int)> handler)
        : QObject(control), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                handler_(13);
            } else if (!key->text().isEmpty()) {
                handler_(key->text().at(0).unicode());
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(int)> handler_;
};

class ClickHook : public QObject {
public:
    ClickHook(QWidget* control, std::function<void()> handler, bool doubleClick)
        : QObject(control), handler_(std::move(handler)), doubleClick_(doubleClick) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* control = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
            break;
        case QEvent::MouseButtonDblClick:
            if (doubleClick_ && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                handler_();
                return true;
            }
            pressed_ = true; // the second press of a double-click
            break;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const bool click = pressed_ && mouse->button() == Qt::LeftButton &&
                               control->rect().contains(mouse->position().toPoint());
            pressed_ = false;
            if (click && !doubleClick_) {
                handler_();
                return true;
            }
            break;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> handler_;
    bool doubleClick_;
    bool pressed_ = false;
};

} // namespace

void onKeyPress(QWidget* control, std::function<void(int)> handler) {
    control->installEventFilter(new KeyPressHook(control, std::move(handler)));
}

void onClick(QWidget* control, std::function<void()> handler) {
    control->installEventFilter(new ClickHook(control, std::move(handler), false));
}

void onDoubleClick(QWidget* control, std::function<void()> handler) {
    control->installEventFilter(new ClickHook(control, std::move(handler), true));
}

} // namespace velmoran

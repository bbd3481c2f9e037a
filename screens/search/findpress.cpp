#include "screens/search/findpress.h"

#include "data/store/recordsource.h"
#include "platform/messagebox.h"
#include "ui/screen.h"
#include "ui/screens.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPointer>

namespace velmoran {

namespace {

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The typed texts of the button's boxes, in order; nothing when one is
// missing from the panel.
std::optional<QStringList> typedTexts(const QWidget* panel, const FindButton& button) {
    QStringList typed;
    for (int i = 0; i < boxCount(button.shape); ++i) {
        const char* name = button.boxes[i];
        const auto* box = name ? panel->findChild<QLineEdit*>(QLatin1String(name)) : nullptr;
        if (!box) {
            return std::nullopt;
        }
        typed << box->text();
    }
    return typed;
}

// The panel is the active window again: after a closed target was opened in
// the main window, and after a message box, which a window manager may end
// by activating the main window. `always`: even while the panel still counts
// as active, as it does until the main window's activation, just asked for,
// arrives.
void activatePanel(QWidget* panel, bool always = false) {
    QWidget* window = panel->window();
    if (window->isVisible() && (always || !window->isActiveWindow())) {
        window->raise();
        window->activateWindow();
    }
}

void showInputError(QWidget* panel) {
    MessageBox::show(inputErrorText(), inputErrorTitle(), MessageBox::Icon::Exclamation,
                     MessageBox::Buttons::Ok);
    activatePanel(panel);
}

} // namespace

RecordSource* targetRecordSource(ScreenId target, bool* opened) {
    Screens& screens = Screens::instance();
    Screen* screen = screens.find(target);
    if (opened) {
        *opened = !screen;
    }
    if (!screen) {
        screen = screens.show(target);
    }
    if (!screen) {
        return nullptr;
    }
    return screen->findChild<RecordSource*>(QStringLiteral("Data1"), Qt::FindDirectChildrenOnly);
}

std::optional<QString> criterionFor(const QWidget* panel, const FindButton& button) {
    const std::optional<QStringList> typed = typedTexts(panel, button);
    if (!typed) {
        return std::nullopt;
    }
    return buildCriterion(button.shape, *typed, text(button.closingPiece));
}

FindOutcome pressFindButton(QWidget* panel, ScreenId target, const FindButton& button,
                            const std::function<void()>& clear) {
    QPointer<QWidget> pressed = panel->findChild<QAbstractButton*>(QLatin1String(button.button));
    QPointer<QWidget> guard = panel;

    bool opened = false;
    RecordSource* source = targetRecordSource(target, &opened);
    if (!guard) {
        return FindOutcome::Failed;
    }
    if (opened) {
        activatePanel(panel, true);
        if (pressed) {
            pressed->setFocus(Qt::OtherFocusReason);
        }
    }
    if (!source) {
        if (!Screens::instance().isRegistered(target)) {
            showInputError(panel); // nothing else has told the user
        }
        return FindOutcome::Failed;
    }

    const std::optional<QString> criterion = criterionFor(panel, button);
    if (!criterion) {
        showInputError(panel);
        return FindOutcome::InputError;
    }
    try {
        if (button.find == FindKind::First) {
            source->FindFirst(*criterion);
        } else {
            source->FindNext(*criterion);
        }
    } catch (const StoreError& error) {
        // A refused criterion is the user's input; anything else is the file.
        if (error.kind() != StoreError::Kind::Criterion) {
            showStoreError(error);
            activatePanel(panel);
            return FindOutcome::Failed;
        }
        showInputError(panel);
        return FindOutcome::InputError;
    }

    if (!source->NoMatch()) {
        if (pressed) {
            pressed->setFocus(Qt::OtherFocusReason);
        }
        return FindOutcome::Found;
    }

    // The prices as typed, read again.
    const QStringList typed = typedTexts(panel, button).value_or(QStringList());
    MessageBox::show(
        notFoundText(button.shape, typed, text(button.joiner), text(button.closingText)),
        notFoundTitle(), MessageBox::Icon::Critical, MessageBox::Buttons::Ok);
    if (!guard) {
        return FindOutcome::NotFound;
    }
    activatePanel(panel);
    if (button.clearsAfterNotFound && clear) {
        clear();
    }
    if (button.focusBox) {
        QWidget* focus = panel->findChild<QWidget*>(QLatin1String(button.focusBox));
        if (!focus) {
            showInputError(panel); // the focus could not be moved
            return FindOutcome::NotFound;
        }
        focus->setFocus(Qt::OtherFocusReason);
    }
    return FindOutcome::NotFound;
}

void connectFindButtons(QWidget* panel, ScreenId target, const FindButton* buttons,
                        std::size_t count, std::function<void()> clear) {
    for (std::size_t i = 0; i < count; ++i) {
        const FindButton* row = &buttons[i];
        auto* control = panel->findChild<QAbstractButton*>(QLatin1String(row->button));
        if (!control) {
            continue;
        }
        QObject::connect(control, &QAbstractButton::clicked, panel, [panel, target, row, clear] {
            pressFindButton(panel, target, *row, clear);
        });
    }
}

} // namespace velmoran

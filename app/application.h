#pragma once

#include <QApplication>

namespace velmoran {

// The program's QApplication: right to left, the design fonts substituted,
// the real message boxes and shut-down dialog installed. A failure that
// escapes an event handler is shown to the user instead of ending the
// program.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace velmoran

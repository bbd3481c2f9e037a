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

    // --version and --help (-h) print on the standard output and give the
    // exit status 0, before any window, display or store is touched; -1
    // when the program is to start.
    static int answerCommandLine(int argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace velmoran

#pragma once

#include <QObject>

class QSocketNotifier;

namespace velmoran {

// When the session ends (log-out, shut-down) the program is sent SIGTERM or
// SIGHUP. This turns those signals into a Qt signal delivered on the
// user-interface thread, so the program can unload its main window (and let
// every record source write back) before it ends.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers for SIGTERM and SIGHUP; one object per program.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool isInstalled() const { return notifier_ != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace velmoran

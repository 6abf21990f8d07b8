#pragma once

#include "core/app_action.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class QSessionManager;
class QWidget;

namespace lirra {

// Ends the app without losing practice. Closing the window, the quit
// shortcut, SIGTERM, SIGINT and SIGHUP and the desktop session ending all
// stop a running session as the stop button does and write every kept
// session, waiting for the files at most `saveTimeoutMs`, then quit. A close
// asked for by the user (the window, the shortcut) asks once before losing
// practice on an unsaved narrowing, and once before losing sessions that
// could be kept in memory only; the others cannot wait for an answer, and
// save the narrowing as a level of the user's own.
class QuitGuard final : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Stops a running session as the stop button does; done once every
        // stop under way (this one, or one the user pressed) has saved its
        // session, the answer whose sound it cut short included.
        std::function<QCoro::Task<>()> stopSession;
        // Writes everything; answers how many finished sessions only memory holds.
        std::function<QCoro::Task<int>()> saveAll;
        // Whether to quit all the same, losing that many sessions. A dialog by default.
        std::function<bool(int)> confirmLoss;
        // Ends the application. QCoreApplication::quit by default.
        std::function<void()> exit;
        // The name practice on notes the user chose but never saved as a
        // level would be saved under; nothing when there is no such practice.
        std::function<std::optional<QString>()> unsavedNarrowing;
        // Asked before a quit by the user: save it, discard it, or stay. A
        // dialog by default.
        std::function<KeepNarrowing(const QString &name)> askAboutNarrowing;
        // Saves it as a level of the user's own, after the stop; with
        // `tellNextStart`, the next start says so (a quit that could not ask).
        std::function<QCoro::Task<>(bool tellNextStart)> keepNarrowing;
    };

    QuitGuard(QWidget *window, Hooks hooks, QObject *parent = nullptr);
    ~QuitGuard() override;

    // Makes SIGTERM, SIGINT and SIGHUP quit through every guard instead of
    // ending the process on the spot: their handler only writes the signal's
    // number to a pipe, which the event loop reads. Once per process, before
    // the guards; false if the pipe could not be made.
    static bool catchSignals();

    // Saves, asks when `byUser` and sessions would be lost, then quits.
    void requestQuit(bool byUser);
    // Saves now, within the time limit, turning the event loop meanwhile:
    // for a quit already under way (the loop's last moments) or a session
    // manager that wants the data now.
    void saveNow();

    // Room for a file locked by another program (given up on after
    // `lockTimeoutMs`) and the journal that then keeps the session.
    static constexpr int saveTimeoutMs = 5000;

signals:
    // A save for quitting finished; how many sessions only memory holds.
    void saved(int inMemoryOnly);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QCoro::Task<> quit(bool byUser);
    // Starts the stop and the save, with the narrowing saved as a level in
    // between when `keepNarrowing`; `saved` follows when they are done.
    void startSave(bool keepNarrowing, bool tellNextStart);
    bool confirmByDialog(int sessions);

    QPointer<QWidget> m_window;
    Hooks m_hooks;
    bool m_quitting = false;
    bool m_saving = false;
    bool m_savedForQuit = false;
    bool m_mayClose = false;
    int m_inMemoryOnly = 0;
};

} // namespace lirra

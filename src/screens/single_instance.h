#pragma once

// One running copy of the app per user: a second start hands over to the
// first, which brings its window to the front, and ends.

#include <QObject>
#include <QString>

#include <functional>

class QSocketNotifier;

namespace lirra {

// The place the running copy holds: a lock file and a socket in the user's
// runtime folder ($XDG_RUNTIME_DIR, else a folder of the user's own under
// /tmp), named after the user's settings folder, so that copies with another
// home (tests, other accounts) never meet. The lock is the kernel's: a copy
// that was killed holds nothing, and its socket is made anew by the next.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        first,      // this copy runs; it is told when others start
        handedOver, // another copy runs and was asked to show its window
        alone,      // no place to hold (no runtime folder): this copy runs
    };

    explicit SingleInstance(QString name = standardName());
    ~SingleInstance() override;

    // Before the application object: holds the place, or hands over to the
    // copy that holds it. A copy that holds it but does not answer within
    // `answerTimeoutMs` (hung) is not waited for: this one runs too.
    Claim claim();
    // Once the event loop runs: `show` is called each time another start
    // hands over.
    void listen(std::function<void()> show);

    // The folder the place is in, made when missing.
    static QString runtimeFolder();
    // "lirra-<hash of the settings folder>".
    static QString standardName();

    static constexpr int answerTimeoutMs = 3000;

private:
    void answer();

    QString m_name;
    QString m_socketPath;
    int m_lock = -1;
    int m_socket = -1;
    QSocketNotifier *m_notifier = nullptr;
    std::function<void()> m_show;
};

} // namespace lirra

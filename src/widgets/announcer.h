#pragma once

#include <QWidget>

namespace lirra {

// Says a sentence through a screen reader without showing it. To the
// accessibility tree it is a notification whose name is the sentence;
// saying one hides and shows it again, and a screen reader speaks a
// notification as it appears.
class Announcer final : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget *parent = nullptr);

    void say(const QString &text);
    QString text() const { return m_text; }

private:
    QString m_text;
};

} // namespace lirra

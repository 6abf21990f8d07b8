#pragma once

#include "modal_screens.h"

class QPushButton;

namespace lirra {

struct ErrorScreenDelegate {
    std::function<void()> didPressTryAgain;
    std::function<void()> didClose;
};

// Shown when an error was reported: what went wrong in plain words, the
// words of what failed underneath behind a "Details" disclosure, and two ways
// on (try again, or close and go back to practice), over a playable keyboard
// whose pressed keys light up in a random colour with their names.
class ErrorScreen final : public TitledKeyboardScreen {
    Q_OBJECT
public:
    explicit ErrorScreen(std::shared_ptr<NotePlayer> notePlayer, QWidget *parent = nullptr);

    const std::optional<Error> &error() const { return m_error; }
    void setError(const std::optional<Error> &error);
    // Off while the app is busy trying again.
    void setTryAgainEnabled(bool enabled);
    Button *tryAgainButton() const;
    // Closing needs a level to go back to.
    void setCloseEnabled(bool enabled);
    Button *closeButton() const;
    QPushButton *detailsButton() const { return m_detailsButton; }
    Label *detailsLabel() const { return m_details; }

    std::optional<ErrorScreenDelegate> delegate;

    // The colours pressed keys light up in.
    static const std::vector<PaletteColor> &colors();

private:
    void showDetails(bool shown);

    std::optional<Error> m_error;
    QWidget *m_detailsRow;
    QPushButton *m_detailsButton;
    Label *m_details;
};

} // namespace lirra

#pragma once

#include "audio/note_player.h"
#include "core/screen_states.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace lirra {

class Button;
class KeyboardView;
class Label;
class ProgressChart;
class SaveLevelBar;
class TitleBar;

// A title bar over a two-octave keyboard: the frame of the three modal screens.
class TitledKeyboardScreen : public QWidget {
    Q_OBJECT
public:
    TitleBar *titleBar() const { return m_titleBar; }
    KeyboardView *keyboardView() const { return m_keyboard; }
    // Plain text between the title bar and the keyboard; hidden while empty.
    Label *messageLabel() const { return m_message; }

protected:
    TitledKeyboardScreen(std::shared_ptr<NotePlayer> notePlayer, QWidget *parent);

    // The keyboard gives up the height the message needs.
    void setMessage(const QString &message);
    // A widget between the title bar and the keyboard, at the given height;
    // none with a null widget.
    void setAccessory(QWidget *accessory, int height);

    void resizeEvent(QResizeEvent *event) override;
    // Plays a note on its own; the caller does not wait for it.
    void play(Note note);

    std::shared_ptr<NotePlayer> m_notePlayer;

private:
    void relayout();

    TitleBar *m_titleBar;
    KeyboardView *m_keyboard;
    Label *m_message;
    QPointer<QWidget> m_accessory;
    int m_accessoryHeight = 0;
};

struct LevelEditorScreenDelegate {
    std::function<void()> didCancel;
    std::function<void(std::vector<Note>)> didSelectNotes;
    // "Save as my level…" with the notes selected.
    std::function<void(std::vector<Note>)> didSaveNotes = {};
};

// Chooses the notes of a custom level: the offered notes are enabled and
// named; a click toggles a note (teal when selected) and plays it.
class LevelEditorScreen final : public TitledKeyboardScreen {
    Q_OBJECT
public:
    explicit LevelEditorScreen(std::shared_ptr<NotePlayer> notePlayer, QWidget *parent = nullptr);

    const std::optional<LevelEditorScreenState> &state() const { return m_state; }
    void setState(const std::optional<LevelEditorScreenState> &state);
    // The working selection, in the order the notes were added.
    const std::vector<Note> &selectedNotes() const { return m_selectedNotes; }
    SaveLevelBar *saveLevelBar() const { return m_saveBar; }

    std::optional<LevelEditorScreenDelegate> delegate;

private:
    void selectionChanged();

    void toggle(Note note);
    void select(Note note);
    void deselect(Note note);
    void setSelection(const std::vector<Note> &notes);

    std::optional<LevelEditorScreenState> m_state;
    std::vector<Note> m_selectedNotes;
    SaveLevelBar *m_saveBar;
};

struct AccuracyScreenDelegate {
    std::function<void()> didPressDone;
    // The table of which notes are taken for which.
    std::function<void()> didPressConfusions = {};
};

// Accuracy per note on the keys: each answered note's key is filled in its
// accuracy colour up to its accuracy, with its name and percentage. For a
// level, a chart of its sessions above the keys shows how it is going.
class AccuracyScreen final : public TitledKeyboardScreen {
    Q_OBJECT
public:
    explicit AccuracyScreen(std::shared_ptr<NotePlayer> notePlayer, QWidget *parent = nullptr);

    const std::optional<AccuracyScreenState> &state() const { return m_state; }
    void setState(const std::optional<AccuracyScreenState> &state);
    ProgressChart *progressChart() const { return m_chart; }

    std::optional<AccuracyScreenDelegate> delegate;

private:
    std::optional<AccuracyScreenState> m_state;
    AccuracyPerNote m_accuracy;
    ProgressChart *m_chart;
};

} // namespace lirra

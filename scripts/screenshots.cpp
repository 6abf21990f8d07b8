// Renders the widgets, and the app's screens, in representative states to
// PNG files in the folder given as the only argument.
#include "core/app_loop.h"
#include "model/generators.h"
#include "model/level_labels.h"
#include "model/localization.h"
#include "model/settings.h"
#include "screens/app.h"
#include "screens/app_delegate.h"
#include "screens/confusion_dialog.h"
#include "screens/error_screen.h"
#include "screens/level_chooser.h"
#include "screens/main_screen.h"
#include "screens/preferences_dialog.h"
#include "storage/confusion_lines.h"
#include "storage/file_session_storage.h"
#include "widgets/accuracy_ring.h"
#include "widgets/keyboard.h"
#include "widgets/palette.h"
#include "widgets/title_bar.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QDir>
#include <QPushButton>
#include <QHBoxLayout>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace lirra;

namespace {

QString g_folder;

void save(QWidget *widget, const QString &name)
{
    QCoreApplication::processEvents();
    const QString path = g_folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!widget->window()->grab().save(path))
        qFatal("could not write %s", qPrintable(path));
    std::printf("%s\n", qPrintable(path));
}

std::unique_ptr<QWidget> window(int width, int height)
{
    auto w = std::make_unique<QWidget>();
    w->resize(width, height);
    QPalette dark = w->palette();
    dark.setColor(QPalette::Window, QColor(0x1c, 0x1c, 0x1e));
    w->setPalette(dark);
    w->setAutoFillBackground(true);
    return w;
}

void keyboards()
{
    auto w = window(860, 340);
    auto *keyboard = new KeyboardView(1, 2, w.get());
    keyboard->setGeometry(w->rect());
    w->show();

    // A level's notes, labelled with their syllables, a key tinted.
    const Level level = DiatonicLevelGenerator().generateLevels()[2];
    keyboard->setKeysEnabled(false);
    keyboard->setKeysEnabled(true, level.notes);
    QStringList syllables;
    for (const Note &n : level.notes)
        syllables << solfegeSyllables()[semitones(n.name, level.key)];
    keyboard->setTexts(syllables, level.notes);
    keyboard->scroll(Note{level.key, 1}, false);
    keyboard->setTint(color(PaletteColor::green), {Note{NoteName::e, 1}});
    save(w.get(), QStringLiteral("keyboard_labels"));

    // Accuracy fills on white and black keys.
    keyboard->setKeysEnabled(true);
    keyboard->setText(std::nullopt);
    keyboard->setTint(std::nullopt);
    const double accuracies[] = {0.95, 0.2, 0.45, 0.85, 0.6, 1.0, 0.05, 0.33, 0.7, 0.5, 0.9, 0.1};
    for (size_t i = 0; i < 12; ++i) {
        const Note n{allNoteNames[i], 1};
        keyboard->setTint(color(accuracyColor(accuracies[i])), accuracies[i], n);
        keyboard->octaveView(1)->setText(localizedName(n.name) + QLatin1Char(' ') + percentText(float(accuracies[i])), n.name);
    }
    save(w.get(), QStringLiteral("keyboard_fractions"));

    // Selection in teal, disabled keys, and the keyboard's tip.
    keyboard->setTint(std::nullopt);
    keyboard->setText(std::nullopt);
    keyboard->setKeysEnabled(false);
    const std::vector<Note> offered = level.notes;
    keyboard->setKeysEnabled(true, {Note{NoteName::c, 1}, Note{NoteName::d, 1}, Note{NoteName::e, 1}, Note{NoteName::f, 1}});
    for (const Note &n : offered)
        keyboard->octaveView(n.octave)->setText(localizedName(n.name), n.name);
    keyboard->setTint(color(PaletteColor::teal), {Note{NoteName::c, 1}, Note{NoteName::e, 1}});
    keyboard->showTip(Tip{Tip::Target::keyboard, localized("tip.keyboard.title"), localized("tip.keyboard.content"),
                          localized("tip.next")});
    save(w.get(), QStringLiteral("keyboard_tip"));
    keyboard->removeTip();
}

void rings()
{
    auto w = window(560, 96);
    auto *row = new QHBoxLayout(w.get());
    for (float accuracy : {0.0f, 0.25f, 0.42f, 0.66f, 0.875f, 1.0f}) {
        for (bool enabled : {true, false}) {
            auto *ring = new AccuracyRing(w.get());
            ring->setFixedSize(92, 32);
            ring->setStrokeWidth(3);
            ring->setAccuracy(accuracy);
            ring->setEnabled(enabled);
            row->addWidget(ring);
            if (accuracy != 0.0f && accuracy != 0.875f && !enabled)
                ring->hide();
        }
    }
    w->show();
    save(w.get(), QStringLiteral("accuracy_rings"));
}

void titleBars()
{
    auto w = window(860, 34);
    auto *bar = new TitleBar(w.get());
    bar->setGeometry(w->rect());
    bar->setTitle(localized("selectNotes"));
    w->show();
    save(w.get(), QStringLiteral("title_bar"));
}

void spinUntil(const AppLoop &loop, const std::function<bool(const AppState &)> &condition)
{
    while (!condition(loop.state()))
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// The whole app in its window, in a temporary home, with sound rendered offline.
void screens()
{
    QTemporaryDir home;
    // Six weeks of practice on the first level, getting better.
    QDir().mkpath(home.filePath(QStringLiteral("Documents/lirra_sessions")));
    QFile history(home.filePath(QStringLiteral("Documents/lirra_sessions/sessions_1.txt")));
    history.open(QIODevice::WriteOnly);
    // What E and F were taken for, less often as the weeks go by.
    QFile confusions(home.filePath(QStringLiteral("Documents/lirra_sessions/confusions_1.txt")));
    confusions.open(QIODevice::WriteOnly);
    for (int day = 0; day < 42; ++day) {
        Session session{1730000000.0 + day * 86400.0 + (day % 3) * 5400.0, {}};
        for (NoteName name : {NoteName::c, NoteName::d, NoteName::e, NoteName::f}) {
            const int right = std::clamp(1 + day / 8 + (day * 7 + index(name)) % 3 - (name == NoteName::f ? 1 : 0), 0, 6);
            session.score[Note{name, 1}] = Score{right, 6 - right};
        }
        for (NoteName name : {NoteName::e, NoteName::f, NoteName::d}) {
            const Score &score = session.score[Note{name, 1}];
            if (score.wrong == 0)
                continue;
            const NoteName heard = name == NoteName::e ? (day % 2 ? NoteName::f : NoteName::d)
                                 : name == NoteName::f ? NoteName::e : NoteName::c;
            session.confusions[Confusion{Note{name, 1}, Note{heard, 1}}] = score.wrong;
        }
        confusions.write(formatConfusionLine(session));
        history.write(FileSessionStorage::formatLine(session));
    }
    history.close();
    confusions.close();
    InputSetup input;
    input.midi = false;
    // The pictures go on from a narrowing with answers without asking.
    input.askAboutNarrowing = [](const QString &) { return KeepNarrowing::discard; };
    AppDelegate delegate(offlineSetup(home.path()), input);
    delegate.applicationDidFinishLaunching();
    AppLoop &loop = *delegate.loop();
    QWidget *window = delegate.window();
    spinUntil(loop, [](const AppState &s) { return s.level.has_value(); });
    save(window, QStringLiteral("main_tour_tip"));
    while (loop.state().currentTip) {
        loop.send(actions::didDismissTip{});
        if (loop.state().currentTip && loop.state().currentTip->target == Tip::Target::accuracyRing)
            save(window, QStringLiteral("main_tour_tip_ring"));
    }

    loop.send(actions::didPressNote{Note{NoteName::e, 1}});
    save(window, QStringLiteral("main_free_play"));

    loop.send(actions::didPressAccuracyRing{});
    save(window, QStringLiteral("accuracy_screen_level"));
    // What each note was taken for: the last five sessions, then all.
    loop.send(actions::didPressConfusionsButton{});
    ConfusionDialog *table = delegate.app()->confusionDialog();
    spinUntil(loop, [&](const AppState &) { return table->isVisible(); });
    save(table, QStringLiteral("confusion_view"));
    table->spanBox()->setCurrentIndex(1);
    save(table, QStringLiteral("confusion_view_all"));
    table->reject();
    spinUntil(loop, [](const AppState &s) { return !s.isConfusionViewVisible; });
    loop.send(actions::didDismissAccuracyScreen{});
    loop.send(actions::didPressNextLevelButton{});
    spinUntil(loop, [](const AppState &s) { return s.level && s.level->id != 1; });
    loop.send(actions::didPressAccuracyRing{});
    save(window, QStringLiteral("accuracy_screen_level_empty"));
    loop.send(actions::didDismissAccuracyScreen{});
    loop.send(actions::didPressHomeButton{});
    spinUntil(loop, [](const AppState &s) { return s.level && s.level->id == 1; });

    loop.send(actions::didPressStartStopLevelButton{});
    spinUntil(loop, [](const AppState &s) { return s.question && s.isInteractionEnabled; });
    const Question question = *loop.state().question;
    const Note wrong = question.answer == Note{NoteName::c, 1} ? Note{NoteName::d, 1} : Note{NoteName::c, 1};
    loop.send(actions::didPressNote{wrong});
    spinUntil(loop, [](const AppState &s) { return s.isInteractionEnabled; });
    save(window, QStringLiteral("main_mid_question"));

    loop.send(actions::didPressNote{question.answer});
    const size_t remaining = question.resolution.size() > 1 ? question.resolution.size() - 2 : 0;
    spinUntil(loop, [&](const AppState &s) { return s.currentlyPlayingResolution.size() <= remaining; });
    save(window, QStringLiteral("main_mid_resolution"));
    spinUntil(loop, [&](const AppState &s) { return s.question && s.question->id != question.id && s.isInteractionEnabled; });

    loop.send(actions::didPressAccuracyRing{});
    save(window, QStringLiteral("accuracy_screen"));
    loop.send(actions::didDismissAccuracyScreen{});

    loop.send(actions::didPressStartStopLevelButton{});
    // Until the stopped session is saved and its level back.
    spinUntil(loop, [](const AppState &s) { return !s.isPracticing && s.isInteractionEnabled; });
    loop.send(actions::didPressConfigureLevelButton{});
    save(window, QStringLiteral("level_editor"));
    loop.send(actions::didDismissLevelEditor{});

    // A level of one's own, then the list of levels, whole and filtered.
    const std::vector<Note> thirds{Note{NoteName::c, 1}, Note{NoteName::e, 1}, Note{NoteName::g, 1}};
    Level narrowed = *loop.state().level;
    narrowed.notes = thirds;
    loop.send(actions::didSaveLevel{thirds, suggestedName(narrowed)});
    spinUntil(loop, [](const AppState &s) { return s.level && s.level->isSaved(); });
    save(window, QStringLiteral("main_saved_level"));
    loop.send(actions::didPressChooseLevelButton{});
    LevelChooser *chooser = delegate.app()->levelChooser();
    spinUntil(loop, [&](const AppState &) { return chooser->isVisible(); });
    save(chooser, QStringLiteral("level_chooser"));
    const QString language = currentLanguage();
    chooser->filterField()->setText(language == QLatin1String("de") ? QStringLiteral("a-moll")
                                    : language == QLatin1String("fr") ? QStringLiteral("la mineur")
                                                                        : QStringLiteral("a minor"));
    save(chooser, QStringLiteral("level_chooser_filtered"));
    chooser->filterField()->setText(QStringLiteral("f# chrom"));
    save(chooser, QStringLiteral("level_chooser_sharp"));
    chooser->reject();
    spinUntil(loop, [](const AppState &s) { return !s.isLevelChooserVisible; });

    // A narrowing practised once: keeping it is offered.
    loop.send(actions::didSelectNotes{{Note{NoteName::c, 1}, Note{NoteName::e, 1}}});
    spinUntil(loop, [](const AppState &s) { return s.level && s.level->isCustom; });
    loop.send(actions::didPressStartStopLevelButton{});
    spinUntil(loop, [](const AppState &s) { return s.question && s.isInteractionEnabled; });
    loop.send(actions::didPressNote{loop.state().question->answer});
    spinUntil(loop, [](const AppState &s) { return s.questionsCount >= 1 && !s.pendingAnswer; });
    loop.send(actions::didPressStartStopLevelButton{});
    spinUntil(loop, [](const AppState &s) { return !s.isPracticing && s.offersToSaveLevel; });
    save(window, QStringLiteral("main_save_offer"));

    // The preferences, then C minor and F major, chromatic, in each way of
    // naming notes: on the practice keys and in the level editor.
    loop.send(actions::didPressPreferencesButton{});
    PreferencesDialog *preferences = delegate.app()->preferencesDialog();
    spinUntil(loop, [&](const AppState &) { return preferences->isVisible(); });
    save(preferences, QStringLiteral("preferences"));
    preferences->reject();
    spinUntil(loop, [](const AppState &s) { return !s.isPreferencesVisible; });
    for (const auto &[key, isMajor, name] : {std::tuple(NoteName::c, false, "c_minor"), std::tuple(NoteName::f, true, "f_major")}) {
        std::int64_t id = 0;
        for (const Level &level : DiatonicLevelGenerator().generateLevels()) {
            if (level.key == key && level.isMajor == isMajor && level.isChromatic && level.range == NoteRange::entireOctave)
                id = level.id;
        }
        loop.send(actions::didChooseLevel{id});
        spinUntil(loop, [id](const AppState &s) { return s.level && s.level->id == id && s.isInteractionEnabled; });
        for (NoteNaming naming : {NoteNaming::solfege, NoteNaming::solfegeForKey, NoteNaming::lettersForKey, NoteNaming::degrees}) {
            Settings settings = loop.state().settings;
            settings.noteNames = naming;
            loop.send(actions::didChangeSettings{settings});
            const QString suffix = QStringLiteral("%1_%2").arg(QLatin1String(name), namingText(naming));
            save(window, QStringLiteral("names_main_") + suffix);
            loop.send(actions::didPressConfigureLevelButton{});
            save(window, QStringLiteral("names_editor_") + suffix);
            loop.send(actions::didDismissLevelEditor{});
        }
    }
    // Adaptive practice on the first level: a contrast after a mistake, a
    // listening block after twelve questions, and what the session came to.
    Settings adaptive;
    adaptive.mode = PracticeMode::adaptive;
    loop.send(actions::didChangeSettings{adaptive});
    loop.send(actions::didPressHomeButton{});
    spinUntil(loop, [](const AppState &s) { return s.level && s.level->id == 1 && s.isInteractionEnabled; });
    loop.send(actions::didPressStartStopLevelButton{});
    for (int asked = 0; asked < 12; ++asked) {
        spinUntil(loop, [](const AppState &s) { return s.question && s.isInteractionEnabled; });
        const Question q = *loop.state().question;
        if (asked == 0) {
            const Note other = q.answer == Note{NoteName::e, 1} ? Note{NoteName::f, 1} : Note{NoteName::e, 1};
            loop.send(actions::didPressNote{other});
            spinUntil(loop, [](const AppState &s) { return s.isInteractionEnabled; });
            // The wrong key's cross, and the focus on a key as Tab leaves it.
            if (Key *focused = delegate.app()->main()->keyboardView()->key(Note{NoteName::c, 1}))
                focused->setFocus(Qt::TabFocusReason);
            save(window, QStringLiteral("main_wrong_mark"));
        }
        loop.send(actions::didPressNote{q.answer});
        if (asked == 1) {
            QCoreApplication::processEvents();
            save(window, QStringLiteral("main_right_mark"));
        }
        if (asked == 0) {
            spinUntil(loop, [](const AppState &s) {
                return s.hearing && s.hearing->kind == Hearing::Kind::contrast && s.hearing->steps.front().note;
            });
            save(window, QStringLiteral("main_contrast"));
        }
        spinUntil(loop, [&](const AppState &s) { return !s.question || s.question->id != q.id; });
    }
    spinUntil(loop, [](const AppState &s) { return s.hearing && s.hearing->steps.front().note; });
    save(window, QStringLiteral("main_listening"));
    loop.send(actions::didSkipListening{});
    spinUntil(loop, [](const AppState &s) { return s.question && s.isInteractionEnabled; });
    loop.send(actions::didPressStartStopLevelButton{});
    spinUntil(loop, [](const AppState &s) { return !s.isPracticing && s.sessionSummary && s.isInteractionEnabled; });
    save(window, QStringLiteral("main_session_summary"));
    loop.send(actions::didChangeSettings{Settings{}});

    // Melodies of three on the first level: the first note waiting, one
    // found, a wrong one marked, the melody played back once found, and
    // the melodies' own history.
    Settings melodies;
    melodies.melodyLength = 3;
    loop.send(actions::didChangeSettings{melodies});
    spinUntil(loop, [](const AppState &s) { return s.level && s.level->questionLength == 3 && s.isInteractionEnabled; });
    loop.send(actions::didPressStartStopLevelButton{});
    spinUntil(loop, [](const AppState &s) { return s.question && s.isInteractionEnabled; });
    save(window, QStringLiteral("main_melody_waiting"));
    const Question melody = *loop.state().question;
    loop.send(actions::didPressNote{melody.noteAt(0)});
    spinUntil(loop, [](const AppState &s) { return s.melodyPosition == 1 && s.isInteractionEnabled; });
    QCoreApplication::processEvents();
    save(window, QStringLiteral("main_melody_one_found"));
    const Note missed = melody.noteAt(1) == Note{NoteName::f, 1} ? Note{NoteName::c, 1} : Note{NoteName::f, 1};
    loop.send(actions::didPressNote{missed});
    spinUntil(loop, [](const AppState &s) { return s.isInteractionEnabled && !s.pendingAnswer; });
    save(window, QStringLiteral("main_melody_wrong"));
    loop.send(actions::didPressNote{melody.noteAt(1)});
    spinUntil(loop, [](const AppState &s) { return s.melodyPosition == 2 && s.isInteractionEnabled; });
    loop.send(actions::didPressNote{melody.noteAt(2)});
    spinUntil(loop, [](const AppState &s) { return !s.currentlyPlayingResolution.empty() && s.currentlyPlayingResolution.size() <= 3; });
    save(window, QStringLiteral("main_melody_played_back"));
    spinUntil(loop, [&](const AppState &s) { return s.question && s.question->id != melody.id && s.isInteractionEnabled; });
    loop.send(actions::didPressStartStopLevelButton{});
    spinUntil(loop, [](const AppState &s) { return !s.isPracticing && s.isInteractionEnabled; });
    loop.send(actions::didPressAccuracyRing{});
    save(window, QStringLiteral("accuracy_screen_melodies"));
    loop.send(actions::didDismissAccuracyScreen{});
    loop.send(actions::didPressPreferencesButton{});
    spinUntil(loop, [&](const AppState &) { return preferences->isVisible(); });
    save(preferences, QStringLiteral("preferences_melodies"));
    preferences->reject();
    spinUntil(loop, [](const AppState &s) { return !s.isPreferencesVisible; });
    loop.send(actions::didChangeSettings{Settings{}});
    spinUntil(loop, [](const AppState &s) { return s.level && s.level->questionLength == 1 && s.isInteractionEnabled; });

    // Chords of the whole octave: the numerals on the keys, a progression
    // of three waiting, a chord found, a wrong root, the chords' accuracy
    // and confusions, and the preferences.
    Settings chords;
    chords.questionKind = QuestionKind::chord;
    chords.melodyLength = 3;
    loop.send(actions::didChooseLevel{3});
    spinUntil(loop, [](const AppState &s) { return s.level && s.level->id == 3 && s.isInteractionEnabled; });
    loop.send(actions::didChangeSettings{chords});
    spinUntil(loop, [](const AppState &s) {
        return s.level && s.level->questionKind == QuestionKind::chord && s.level->questionLength == 3 && s.isInteractionEnabled;
    });
    save(window, QStringLiteral("main_chords"));
    loop.send(actions::didPressStartStopLevelButton{});
    spinUntil(loop, [](const AppState &s) { return s.question && s.isInteractionEnabled; });
    save(window, QStringLiteral("main_progression_waiting"));
    const Question progression = *loop.state().question;
    loop.send(actions::didPressNote{progression.noteAt(0)});
    spinUntil(loop, [](const AppState &s) { return s.melodyPosition == 1 && s.isInteractionEnabled; });
    QCoreApplication::processEvents();
    save(window, QStringLiteral("main_progression_one_found"));
    const Note otherRoot = progression.noteAt(1).name == NoteName::d ? Note{NoteName::e, 1} : Note{NoteName::d, 1};
    loop.send(actions::didPressNote{otherRoot});
    spinUntil(loop, [](const AppState &s) { return s.isInteractionEnabled && !s.pendingAnswer; });
    save(window, QStringLiteral("main_progression_wrong"));
    loop.send(actions::didPressNote{progression.noteAt(1)});
    spinUntil(loop, [](const AppState &s) { return s.melodyPosition == 2 && s.isInteractionEnabled; });
    loop.send(actions::didPressNote{progression.noteAt(2)});
    spinUntil(loop, [&](const AppState &s) { return s.question && s.question->id != progression.id && s.isInteractionEnabled; });
    loop.send(actions::didPressStartStopLevelButton{});
    spinUntil(loop, [](const AppState &s) { return !s.isPracticing && s.isInteractionEnabled; });
    loop.send(actions::didPressAccuracyRing{});
    save(window, QStringLiteral("accuracy_screen_chords"));
    loop.send(actions::didPressConfusionsButton{});
    ConfusionDialog *chordTable = delegate.app()->confusionDialog();
    spinUntil(loop, [&](const AppState &) { return chordTable->isVisible(); });
    save(chordTable, QStringLiteral("confusions_chords"));
    chordTable->reject();
    spinUntil(loop, [](const AppState &s) { return !s.isConfusionViewVisible; });
    loop.send(actions::didDismissAccuracyScreen{});
    loop.send(actions::didPressPreferencesButton{});
    spinUntil(loop, [&](const AppState &) { return preferences->isVisible(); });
    save(preferences, QStringLiteral("preferences_chords"));
    preferences->reject();
    spinUntil(loop, [](const AppState &s) { return !s.isPreferencesVisible; });
    loop.send(actions::didChangeSettings{Settings{}});
    spinUntil(loop, [](const AppState &s) {
        return s.level && s.level->questionKind == QuestionKind::note && s.level->questionLength == 1 && s.isInteractionEnabled;
    });

    Error sound{QStringLiteral("MIDINotePlayer"), 1, localized("soundOutputFailed"),
                QStringLiteral("No audio output could be started: pulseaudio (Failed to create "
                               "PulseAudio connection, because pa_simple_new() failed with error: "
                               "Connection refused); alsa (Failed to open the \"default\" audio device)")};
    loop.send(actions::errorOccurred{sound});
    save(window, QStringLiteral("error_screen"));
    if (ErrorScreen *error = delegate.app()->builtErrorScreen()) {
        error->detailsButton()->click();
        save(window, QStringLiteral("error_screen_details"));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    applyDarkAppearance();
    installTranslations();
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(g_folder);
    keyboards();
    rings();
    titleBars();
    screens();
    return 0;
}

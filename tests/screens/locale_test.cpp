#include "support/fakes.h"
#include "support/test_registry.h"

#include "core/announcement.h"
#include "core/app_loop.h"
#include "model/generators.h"
#include "model/level_labels.h"
#include "model/localization.h"
#include "screens/app.h"
#include "screens/app_delegate.h"
#include "screens/ask_text.h"
#include "widgets/accuracy_ring.h"
#include "widgets/control.h"
#include "widgets/melody_slots.h"
#include "widgets/tip_view.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace lirra;
using namespace lirra::test;

// Runs in the suite's locale, and again under LANG=de_DE.UTF-8, LANG=fr_FR.UTF-8
// and an unknown locale (see CMakeLists.txt): the window title, the level's
// name and the tour speak the locale's language, English where there is no
// table for it, and percentages follow the locale.
class LocaleTest : public QObject {
    Q_OBJECT

private slots:
    void textsFollowTheLocale()
    {
        struct Texts {
            const char *window;
            const char *level;
            const char *tipTitle;
            const char *tipButton;
            QString percent;
        };
        const QLocale::Language language = QLocale().language();
        const Texts texts = language == QLocale::German ? Texts{"C-Dur · untere Hälfte · diatonisch — Lirra", "C-Dur · untere Hälfte · diatonisch", "So geht es", "Weiter",
                                                                QStringLiteral("75\u00A0%")}
            : language == QLocale::French ? Texts{"do majeur · moitié basse · diatonique — Lirra", "do majeur · moitié basse · diatonique", "Comment ça marche", "Suivant",
                                                  QStringLiteral("75\u202F%")}
                                          : Texts{"C major · lower half · diatonic — Lirra", "C major · lower half · diatonic", "How it works", "Next", QStringLiteral("75%")};
        qInfo("language %s, locale %s", qPrintable(QLocale::languageToString(language)), qPrintable(QLocale().name()));

        QTemporaryDir home;
        EnvironmentSetup setup = offlineSetup(home.path());
        setup.logger = std::make_shared<RecordingLogger>();
        InputSetup input;
        input.midi = false;
        AppDelegate app(setup, input);
        app.applicationDidFinishLaunching();
        QVERIFY(spinUntil([&] { return app.loop()->state().currentTip.has_value(); }, 30000));
        QCOMPARE(app.window()->windowTitle(), QString::fromUtf8(texts.window));
        QCOMPARE(app.subtitleLabel()->text(), QString::fromUtf8(texts.level));
        const Tip tip = *app.loop()->state().currentTip;
        QCOMPARE(tip.title, QString::fromUtf8(texts.tipTitle));
        QVERIFY(app.toolbarTip() && app.toolbarTip()->title() == tip.title);
        QCOMPARE(app.toolbarTip()->button()->pushButton()->text(), QString::fromUtf8(texts.tipButton));
        QCOMPARE(percentText(0.75f), texts.percent);
        // A minor key as the language writes it: German in lower case, with a hyphen.
        const Level minor = DiatonicLevelGenerator::makeLevel(9, NoteName::cSharp, false, false, NoteRange::entireOctave);
        QCOMPARE(minor.title(), language == QLocale::German   ? QStringLiteral("cis-Moll / des-Moll")
                                : language == QLocale::French ? QStringLiteral("do♯ mineur / ré♭ mineur")
                                                              : QStringLiteral("C♯ minor / D♭ minor"));
        // The list and the headings give it the one name musicians use.
        QCOMPARE(keyTitle(minor), language == QLocale::German   ? QStringLiteral("cis-Moll")
                                  : language == QLocale::French ? QStringLiteral("do♯ mineur")
                                                                : QStringLiteral("C♯ minor"));
        // Melodies: what a screen reader hears, the slots' name, the heading.
        const bool german = language == QLocale::German;
        const bool french = language == QLocale::French;
        Announcement ready{Announcement::Kind::questionReady};
        ready.position = 2;
        ready.length = 3;
        QCOMPARE(announcementText(ready), german ? QStringLiteral("Ton 2 von 3: deine Antwort?")
                                          : french ? QStringLiteral("Note 2 sur 3 : votre réponse ?")
                                                   : QStringLiteral("Note 2 of 3: your answer?"));
        Announcement found = ready;
        found.kind = Announcement::Kind::right;
        QCOMPARE(announcementText(found), german ? QStringLiteral("Richtig. Ton 2 von 3: deine Antwort?")
                                          : french ? QStringLiteral("Juste. Note 2 sur 3 : votre réponse ?")
                                                   : QStringLiteral("Right. Note 2 of 3: your answer?"));
        Level melodies = DiatonicLevelGenerator().generateLevels()[0];
        melodies.questionLength = 3;
        QCOMPARE(levelHeading(melodies), german ? QStringLiteral("C-Dur · untere Hälfte · diatonisch · Melodien aus 3 Tönen")
                                         : french ? QStringLiteral("do majeur · moitié basse · diatonique · mélodies de 3 notes")
                                                  : QStringLiteral("C major · lower half · diatonic · melodies of 3"));
        // Chords: a progression's places, a chord's heading and its name.
        Announcement chord = ready;
        chord.chords = true;
        QCOMPARE(announcementText(chord), german ? QStringLiteral("Akkord 2 von 3: deine Antwort?")
                                          : french ? QStringLiteral("Accord 2 sur 3 : votre réponse ?")
                                                   : QStringLiteral("Chord 2 of 3: your answer?"));
        chord.kind = Announcement::Kind::right;
        QCOMPARE(announcementText(chord), german ? QStringLiteral("Richtig. Akkord 2 von 3: deine Antwort?")
                                          : french ? QStringLiteral("Juste. Accord 2 sur 3 : votre réponse ?")
                                                   : QStringLiteral("Right. Chord 2 of 3: your answer?"));
        Level chords = DiatonicLevelGenerator().generateLevels()[0];
        chords.questionKind = QuestionKind::chord;
        QCOMPARE(levelHeading(chords), german ? QStringLiteral("C-Dur · untere Hälfte · diatonisch · Akkorde")
                                       : french ? QStringLiteral("do majeur · moitié basse · diatonique · accords")
                                                : QStringLiteral("C major · lower half · diatonic · chords"));
        QCOMPARE(chordName(chordOf(NoteName::f, NoteName::c, true), NoteName::c, true),
                 german ? QStringLiteral("F-Dur-Akkord") : french ? QStringLiteral("accord de fa majeur") : QStringLiteral("F major chord"));
        QCOMPARE(chordName(chordOf(NoteName::b, NoteName::c, true), NoteName::c, true),
                 german ? QStringLiteral("verminderter Akkord auf H") : french ? QStringLiteral("accord de si diminué")
                                                                        : QStringLiteral("B diminished chord"));
        MelodySlotsView boxes;
        boxes.setSlots({QStringLiteral("Do")}, 3, 1);
        QCOMPARE(boxes.accessibleName(), german ? QStringLiteral("Melodie: Ton 2 von 3 gesucht; gefunden Do")
                                         : french ? QStringLiteral("Mélodie : note 2 sur 3 attendue ; trouvées Do")
                                                  : QStringLiteral("Melody: note 2 of 3 waiting; found Do"));
        // Qt's own buttons speak the language too.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                 language == QLocale::German   ? QStringLiteral("Abbrechen")
                 : language == QLocale::French ? QStringLiteral("Annuler")
                                               : QStringLiteral("Cancel"));

        // The save dialog shows its whole title and the whole name it offers.
        const QString offered = QStringLiteral("C major: C D E F G A B, with the Tuesday choir's second voice");
        QString title;
        int dialogWidth = 0;
        int fieldWidth = 0;
        int fieldNeeds = 0;
        QTimer::singleShot(0, [&] {
            QVERIFY(spinUntil([] { return qobject_cast<QInputDialog *>(QApplication::activeModalWidget()) != nullptr; }));
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            title = dialog->windowTitle();
            dialogWidth = dialog->width();
            const QLineEdit *field = dialog->findChild<QLineEdit *>();
            fieldWidth = field->width();
            fieldNeeds = field->fontMetrics().horizontalAdvance(offered) + 12;
            dialog->reject();
        });
        QVERIFY(!askText(app.window(), localized("saveLevel.title"), localized("saveLevel.label"), offered,
                         localized("saveLevel.save")));
        QCOMPARE(title, localized("saveLevel.title"));
        QFont titleFont;
        titleFont.setBold(true);
        titleFont.setPointSizeF(titleFont.pointSizeF() * 1.1);
        // The frame's icon and three buttons take about a hundred pixels.
        QVERIFY2(dialogWidth >= QFontMetrics(titleFont).horizontalAdvance(title) + 100, qPrintable(title));
        QVERIFY2(fieldWidth >= fieldNeeds, qPrintable(QStringLiteral("%1 < %2").arg(fieldWidth).arg(fieldNeeds)));
    }
};

LIRRA_TEST(LocaleTest)
#include "locale_test.moc"

#include "support/loop_harness.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "model/generators.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

namespace {

Settings adaptive(bool contrast = true)
{
    Settings settings;
    settings.mode = PracticeMode::adaptive;
    settings.contrast = contrast;
    return settings;
}

// "E1 D1 C1", "-" for a rest.
QString heardText(const std::vector<std::optional<Note>> &heard)
{
    QStringList words;
    for (const auto &n : heard)
        words << (n ? text({*n}) : QStringLiteral("-"));
    return words.join(QLatin1Char(' '));
}

} // namespace

Q_DECLARE_METATYPE(lirra::PracticeMode)
Q_DECLARE_METATYPE(lirra::Settings)

// Adaptive practice between its questions: the listening blocks, the
// contrast after a note taken for another, and what a stopped session
// came to.
class AdaptiveFlowTest : public QObject {
    Q_OBJECT

private:
    LoopHarness m_app;
    // The notes heard since the last question, and the colours they were lit in.
    std::vector<std::optional<Note>> m_heard;
    // What sounded for each: a chord's keys, or nothing but the note.
    std::vector<std::vector<int>> m_heardChords;
    QList<PaletteColor> m_lit;

    const AppState &state() const { return m_app.state(); }
    std::optional<AppEffect> send(AppAction action) { return m_app.send(std::move(action)); }

    void startSession(const Settings &settings)
    {
        m_app.start(settings, cMajor);
        send(actions::didPressStartStopLevelButton{});
        const auto first = send(actions::didStartSession{Session{100.0, {}}});
        QCOMPARE(first, AppEffect(effects::loadNextQuestion{settings.mode}));
    }
    // Plays out whatever is to be heard; the effect that goes on from it.
    std::optional<AppEffect> hearAll(std::optional<AppEffect> effect)
    {
        while (effect && std::holds_alternative<effects::playHeardNote>(*effect)) {
            m_heard.push_back(std::get<effects::playHeardNote>(*effect).note);
            m_heardChords.push_back(std::get<effects::playHeardNote>(*effect).chord);
            if (state().highlightedNote)
                m_lit << state().highlightedNote->color;
            if (state().isInteractionEnabled)
                return std::nullopt; // keys must stay off while notes are heard
            effect = send(actions::didPlayHeardNote{state().playback});
        }
        return effect;
    }
    // Asks the question, answers it (wrong first when `wrong` is given),
    // plays out the resolution and what follows; the effect it ends on.
    std::optional<AppEffect> answer(const Question &q, std::optional<Note> wrong = std::nullopt)
    {
        m_heard.clear();
        m_lit.clear();
        send(actions::didLoadQuestion{q});
        send(actions::didPlayCadence{state().playback});
        if (wrong) {
            send(actions::didPressNote{*wrong});
            send(actions::didLogWrongAnswer{Session{100.0, {}}, state().playback});
        }
        std::optional<AppEffect> effect = send(actions::didPressNote{q.answer});
        while (effect && std::holds_alternative<effects::playNoteInResolution>(*effect))
            effect = send(actions::didPlayNoteInResolution{state().playback});
        effect = hearAll(effect);
        if (effect && std::holds_alternative<effects::logRightAnswer>(*effect))
            effect = send(actions::didLogRightAnswer{Session{100.0, {}}, state().playback});
        return effect;
    }

private slots:
    void cleanup() { m_app.stop(); }

    // After every twelfth question of an adaptive session, the three notes
    // most missed are heard, each with its resolution, keys lit and off.
    void listeningBlocks_data()
    {
        QTest::addColumn<PracticeMode>("mode");
        QTest::addColumn<QString>("blocksAfter");
        QTest::newRow("cycle") << PracticeMode::cycle << "";
        QTest::newRow("adaptive") << PracticeMode::adaptive << "12 24";
    }
    void listeningBlocks()
    {
        QFETCH(PracticeMode, mode);
        QFETCH(QString, blocksAfter);
        Settings settings;
        settings.mode = mode;
        startSession(settings);
        QStringList blocks;
        for (int i = 1; i <= 25; ++i) {
            const std::optional<AppEffect> next = answer(questionOf(u"E1"));
            QVERIFY(next);
            if (std::holds_alternative<effects::loadNextQuestion>(*next)) {
                QCOMPARE(std::get<effects::loadNextQuestion>(*next).mode, mode);
                continue;
            }
            QCOMPARE(*next, AppEffect(effects::loadQuestionsToHear{3, state().playback}));
            blocks << QString::number(i);
            m_heard.clear();
            const auto after = hearAll(send(actions::didLoadQuestionsToHear{
                {questionOf(u"D1"), questionOf(u"A1"), questionOf(u"F1")}, state().playback}));
            QCOMPARE(heardText(m_heard), QStringLiteral("- D1 C1 - A1 B1 C2 - F1 E1 D1 C1"));
            QVERIFY(m_lit.size() == 9 && m_lit.count(PaletteColor::blue) == 9);
            QCOMPARE(after, AppEffect(effects::loadNextQuestion{mode}));
        }
        QCOMPARE(blocks.join(QLatin1Char(' ')), blocksAfter);
    }

    // Space skips the block: what sounds stops, the next question comes, and
    // the rest of the block, still in flight, is ignored. Outside a block
    // it does nothing.
    void skippingAListeningBlock()
    {
        startSession(adaptive());
        QVERIFY(!send(actions::didSkipListening{}));
        for (int i = 0; i < 12; ++i)
            answer(questionOf(u"G1"));
        const std::uint64_t playback = state().playback;
        send(actions::didLoadQuestionsToHear{{questionOf(u"B1")}, playback});
        QVERIFY(state().hearing);
        QCOMPARE(send(actions::didSkipListening{}), AppEffect(effects::loadNextQuestion{PracticeMode::adaptive, true}));
        QVERIFY(!state().hearing);
        QVERIFY(!state().highlightedNote);
        QVERIFY(!send(actions::didPlayHeardNote{playback}));
        QVERIFY(!send(actions::didSkipListening{}));
    }

    // A question first answered wrong, once answered right: the note pressed
    // with its resolution (lit red), then the one asked with its own (lit
    // green), and only then is the right answer recorded.
    void contrast_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<bool>("wrongFirst");
        QTest::addColumn<QString>("heard");
        QTest::newRow("adaptive, wrong first") << adaptive() << true << "- D1 C1 - E1 D1 C1";
        QTest::newRow("adaptive, right at once") << adaptive() << false << "";
        QTest::newRow("adaptive, contrast off") << adaptive(false) << true << "";
        QTest::newRow("cycle") << Settings{} << true << "";
        Settings chords = adaptive();
        chords.questionKind = QuestionKind::chord;
        // ii pressed for iii: ii then I, iii then I, each a chord.
        QTest::newRow("chords, wrong first") << chords << true << "- D1 C1 - E1 C1";
    }
    void contrast()
    {
        QFETCH(Settings, settings);
        QFETCH(bool, wrongFirst);
        QFETCH(QString, heard);
        startSession(settings);
        const bool chords = settings.questionKind == QuestionKind::chord;
        Question q = questionOf(u"E1");
        if (chords)
            q = Question{q.id, q.answer, notes("E1 C1"), {}, QuestionKind::chord, NoteName::c, true};
        m_heardChords.clear();
        const auto next = answer(q, wrongFirst ? std::optional(note(u"D1")) : std::nullopt);
        QCOMPARE(heardText(m_heard), heard);
        if (!heard.isEmpty()) {
            QList<PaletteColor> lit{PaletteColor::red, PaletteColor::red, PaletteColor::green, PaletteColor::green};
            if (!chords)
                lit << PaletteColor::green;
            QCOMPARE(m_lit, lit);
            // Chords sound as chords: iii's keys for E, I's for C.
            QCOMPARE(m_heardChords[4].empty(), !chords);
            if (chords)
                QCOMPARE(m_heardChords[4], chordVoicing(chordOf(NoteName::e, NoteName::c, true)));
        }
        QCOMPARE(next, AppEffect(effects::loadNextQuestion{settings.mode}));
        // The next question's contrast is its own.
        const auto after = answer(questionOf(u"G1"));
        QVERIFY(m_heard.empty());
        QCOMPARE(after, AppEffect(effects::loadNextQuestion{settings.mode}));
    }

    // Melodies: a contrast mid-melody is the note pressed and the one asked
    // at that place, each with its resolution, and the melody goes on after
    // it; a listening block plays each melody, then its last note's way home.
    void melodiesHeardBetweenAnswers()
    {
        Settings settings = adaptive();
        settings.melodyLength = 3;
        startSession(settings);
        Question melody = questionOf(u"D1");
        melody.melody = notes("C1 E1 D1");
        send(actions::didLoadQuestion{melody});
        send(actions::didPlayCadence{state().playback});
        QVERIFY(std::holds_alternative<effects::logRightAnswer>(*send(actions::didPressNote{note(u"C1")})));
        send(actions::didLogRightAnswer{Session{100.0, {}}, state().playback});
        send(actions::didPressNote{note(u"D1")});
        send(actions::didLogWrongAnswer{Session{100.0, {}}, state().playback});
        m_heard.clear();
        m_lit.clear();
        const std::optional<AppEffect> after = hearAll(send(actions::didPressNote{note(u"E1")}));
        QCOMPARE(heardText(m_heard), QStringLiteral("- D1 C1 - E1 D1 C1"));
        QCOMPARE(state().hearing, std::nullopt);
        const Question asked = melody.at(1, DiatonicNoteResolutionGenerator().resolution(note(u"E1"), NoteName::c, true, false));
        QCOMPARE(after, AppEffect(effects::logRightAnswer{note(u"E1"), asked, state().playback}));
        QCOMPARE(send(actions::didLogRightAnswer{Session{100.0, {}}, state().playback}), std::nullopt);
        QCOMPARE(state().melodyPosition, size_t(2));
        QVERIFY(state().isInteractionEnabled && !state().firstWrongAnswer);

        m_heard.clear();
        hearAll(send(actions::didLoadQuestionsToHear{{melody}, state().playback}));
        QCOMPARE(heardText(m_heard), QStringLiteral("- C1 E1 D1 C1"));
    }

    // A stop during a contrast records the right answer it follows; an
    // adaptive stop asks for a summary, which shows until the next session.
    void stoppingSaysWhatTheSessionCameTo_data()
    {
        QTest::addColumn<PracticeMode>("mode");
        QTest::newRow("cycle") << PracticeMode::cycle;
        QTest::newRow("adaptive") << PracticeMode::adaptive;
    }
    void stoppingSaysWhatTheSessionCameTo()
    {
        QFETCH(PracticeMode, mode);
        Settings settings = adaptive();
        settings.mode = mode;
        startSession(settings);
        Session running{100.0, {{note(u"E1"), Score{0, 1}}}};
        const Question q = questionOf(u"E1");
        send(actions::didLoadQuestion{q});
        send(actions::didPlayCadence{state().playback});
        send(actions::didPressNote{note(u"F1")});
        send(actions::didLogWrongAnswer{running, state().playback});
        std::optional<AppEffect> effect = send(actions::didPressNote{q.answer});
        while (effect && std::holds_alternative<effects::playNoteInResolution>(*effect))
            effect = send(actions::didPlayNoteInResolution{state().playback});
        const auto stop = send(actions::didPressStartStopLevelButton{});
        QVERIFY(stop);
        const auto &stopped = std::get<effects::stopSession>(*stop);
        QVERIFY(stopped.pendingAnswer && stopped.pendingAnswer->isRight);
        QVERIFY(!state().hearing);
        QCOMPARE(stopped.summarize, mode == PracticeMode::adaptive);
        if (mode == PracticeMode::cycle)
            return;
        QCOMPARE(stopped.session, running);
        QCOMPARE(stopped.before, cMajor.sessions);
        SessionSummary summary;
        summary.questions = 1;
        send(actions::didLoadLevel{cMajor, summary});
        QCOMPARE(state().sessionSummary, summary);
        send(actions::didPressStartStopLevelButton{});
        send(actions::didStartSession{Session{200.0, {}}});
        QVERIFY(!state().sessionSummary);
        // A session stopped before any answer has nothing to say.
        const auto early = send(actions::didPressStartStopLevelButton{});
        QVERIFY(early && !std::get<effects::stopSession>(*early).summarize);
    }
};

LIRRA_TEST(AdaptiveFlowTest)
#include "adaptive_flow_test.moc"

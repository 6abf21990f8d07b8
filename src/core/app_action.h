#pragma once

#include "model/error.h"
#include "model/music.h"

#include <QString>

#include <variant>
#include <vector>

namespace lirra {

namespace actions {
struct didPressNote { Note note; };
struct didReleaseNote { Note note; };
struct didSelectNotes { std::vector<Note> notes; };
struct didLoadLevel { Level level; };
struct didStartSession { Session session; };
struct didLoadQuestion { Question question; };
struct didLogRightAnswer { Session session; };
struct didLogWrongAnswer { Session session; };
struct errorOccurred { Error error; };
struct didLoad {};
struct didDismissTip {};
struct didPressHomeButton {};
struct didPressRandomButton {};
struct didPressPreviousLevelButton {};
struct didPressNextLevelButton {};
struct didPressConfigureLevelButton {};
struct didPressStartStopLevelButton {};
struct didPressRepeatQuestionButton {};
struct didPressAccuracyRing {};
struct didDismissAccuracyScreen {};
struct didDismissLevelEditor {};
struct didPlayNoteInResolution {};
struct didPlayCadence {};
struct didPressTryAgain {};
} // namespace actions

using AppAction = std::variant<
    actions::didPressNote,
    actions::didReleaseNote,
    actions::didSelectNotes,
    actions::didLoadLevel,
    actions::didStartSession,
    actions::didLoadQuestion,
    actions::didLogRightAnswer,
    actions::didLogWrongAnswer,
    actions::errorOccurred,
    actions::didLoad,
    actions::didDismissTip,
    actions::didPressHomeButton,
    actions::didPressRandomButton,
    actions::didPressPreviousLevelButton,
    actions::didPressNextLevelButton,
    actions::didPressConfigureLevelButton,
    actions::didPressStartStopLevelButton,
    actions::didPressRepeatQuestionButton,
    actions::didPressAccuracyRing,
    actions::didDismissAccuracyScreen,
    actions::didDismissLevelEditor,
    actions::didPlayNoteInResolution,
    actions::didPlayCadence,
    actions::didPressTryAgain>;

// The action's one-line log text.
QString description(const AppAction &action);

} // namespace lirra

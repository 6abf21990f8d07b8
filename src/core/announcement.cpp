#include "announcement.h"

#include "core/app_state.h"
#include "model/level_labels.h"
#include "model/localization.h"

namespace lirra {

void announce(AppState &state, Announcement::Kind kind)
{
    Announcement next{kind, state.announcement ? state.announcement->serial + 1 : 1};
    if (kind == Announcement::Kind::error && state.error)
        next.detail = state.error->description;
    if (kind == Announcement::Kind::notice && state.notice)
        next.detail = *state.notice;
    // Words a screen reader says as they are: "·" would be "middle dot".
    if (kind == Announcement::Kind::level && state.level)
        next.detail = levelHeading(*state.level).replace(QStringLiteral(" · "), QStringLiteral(", "));
    const bool waits = kind == Announcement::Kind::questionReady
        || (kind == Announcement::Kind::right && state.melodyPosition > 0 && state.isInteractionEnabled);
    if (waits && state.question && state.question->length() > 1) {
        next.position = std::int64_t(state.melodyPosition) + 1;
        next.length = std::int64_t(state.question->length());
        next.chords = state.question->kind == QuestionKind::chord;
    }
    state.announcement = std::move(next);
}

QString announcementText(const Announcement &announcement)
{
    using Kind = Announcement::Kind;
    switch (announcement.kind) {
    case Kind::right:
        if (announcement.length > 1)
            return localized(announcement.chords ? "announce.rightChord" : "announce.rightMelodyNote")
                .arg(announcement.position)
                .arg(announcement.length);
        return localized("announce.right");
    case Kind::wrong: return localized("announce.wrong");
    case Kind::questionReady:
        if (announcement.length > 1)
            return localized(announcement.chords ? "announce.chord" : "announce.melodyNote")
                .arg(announcement.position)
                .arg(announcement.length);
        return localized("announce.questionReady");
    case Kind::sessionSaved:
        return localized("announce.sessionSaved").arg(announcement.right).arg(announcement.answers);
    case Kind::sessionStopped: return localized("announce.sessionStopped");
    case Kind::error:
        return announcement.detail.isEmpty() ? localized("announce.error")
                                             : localized("announce.errorWith").arg(announcement.detail);
    case Kind::notice: return announcement.detail;
    case Kind::tourClosed: return localized("announce.tourClosed");
    case Kind::level: return announcement.detail;
    }
    return {};
}

} // namespace lirra

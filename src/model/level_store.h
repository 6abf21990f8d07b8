#pragma once

// The levels the user saved, as practice asks for them: read, changed as a
// whole, a deleted level's history put aside. A store on disk implements it.

#include "model/error.h"
#include "model/music.h"

#include <QCoroTask>

#include <functional>
#include <vector>

namespace lirra {

class LevelStore {
public:
    virtual ~LevelStore() = default;

    struct Read {
        std::vector<Level> levels;
        int skipped = 0; // entries, or the whole store, that could not be used
        bool altered = false; // a name was too long to keep whole
    };

    // The saved levels, in the store's order; none when there are none yet.
    // A store that cannot be read at all is an error.
    virtual Result<Read> read() = 0;
    // Whether the levels may have changed since they were last read here
    // (another copy of the app changed them).
    virtual bool changedSinceRead() const = 0;

    // What a change makes of the levels as the store holds them now; an
    // error leaves the store as it is.
    using Change = std::function<Result<std::vector<Level>>(std::vector<Level>)>;
    // Reads the levels afresh, changes them and writes them, with no other
    // change in between; the answer is the levels written.
    virtual QCoro::Task<Result<std::vector<Level>>> update(Change change) = 0;
    // Removes what a write cut short by the end of the process left behind.
    virtual void removeLeftovers() const = 0;
    // Puts a deleted level's history aside; nothing to do without one.
    virtual QCoro::Task<Result<void>> putHistoryAside(QUuid savedId) = 0;

    // A name as it is kept: on one line, at most `maxNameLength` characters.
    static QString cleanName(const QString &name);
    static constexpr qsizetype maxNameLength = 200;
};

} // namespace lirra

#pragma once

#include "model/error.h"
#include "storage/file_system.h"

#include <QByteArray>

#include <functional>
#include <limits>
#include <vector>

namespace lirra {

struct LastLinesLimits {
    int count = 100;
    // A longer line is damage, not a record: skipped, and never held whole.
    qsizetype longestLine = qsizetype(4) << 20;
    // The lines kept, together; reading stops before the line that would
    // pass it.
    qsizetype budget = qsizetype(16) << 20;
    // Bytes read at a time.
    qsizetype window = qsizetype(64) << 10;
    // Whether a line is a record at all. One that is not is passed over as
    // damage: it takes no room from `count` or `budget`, so that junk after
    // the good lines never hides them.
    std::function<bool(QByteArrayView)> isRecord;

    // Every line of the file, however many and however long together.
    static LastLinesLimits all()
    {
        LastLinesLimits limits;
        limits.count = std::numeric_limits<int>::max();
        limits.budget = std::numeric_limits<qsizetype>::max();
        return limits;
    }
};

struct LastLines {
    std::vector<QByteArray> lines; // oldest first
    // Lines passed over as damage: longer than the longest, or not a record.
    int passedOver = 0;
};

// The newest non-empty lines of an open file of `size` bytes, oldest first,
// read backward from its end only as far as they need. The writer ends every
// line with LF; a reader also ends one at VT, FF, CR, NEL, LS or PS, however
// large the file, and at a NUL, which no record holds but a crash can leave
// behind where a record was about to be written. Runs of breaks are passed
// over without building anything for them, and holes in a sparse file (which
// read as NULs) without being read at all, so memory stays within the lines
// kept, the longest line and one window, whatever the file holds.
Result<LastLines> readLastLines(FileSystem &fs, int fd, qint64 size, const QString &domain, const QString &path,
                                const LastLinesLimits &limits = {});

// The same from the regular file at `path`, opened and closed here; no lines
// when there is no file.
Result<LastLines> readLastLinesOf(FileSystem &fs, const QString &domain, const QString &path,
                                  const LastLinesLimits &limits = {});

} // namespace lirra

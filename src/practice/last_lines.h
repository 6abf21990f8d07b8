#pragma once

#include "model/error.h"
#include "practice/file_system.h"

#include <QByteArray>

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
};

// The newest non-empty lines of an open file of `size` bytes, oldest first,
// read backward from its end only as far as they need. Lines end at LF, VT,
// FF, CR, NEL, LS or PS, or at a NUL, which no record holds but a crash can
// leave behind where a record was about to be written. Runs of breaks are
// passed over without building anything for them, and holes in a sparse file
// (which read as NULs) without being read at all, so memory stays within the
// lines kept and one window, whatever the file holds.
Result<std::vector<QByteArray>> readLastLines(FileSystem &fs, int fd, qint64 size, const QString &domain,
                                              const QString &path, const LastLinesLimits &limits = {});

// The same from the regular file at `path`, opened and closed here; no lines
// when there is no file.
Result<std::vector<QByteArray>> readLastLinesOf(FileSystem &fs, const QString &domain, const QString &path,
                                                const LastLinesLimits &limits = {});

} // namespace lirra

#include "last_lines.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace lirra {

namespace {

constexpr std::array<bool, 256> singleByteBreaks = [] {
    std::array<bool, 256> table{};
    for (int byte : {0x00, 0x0A, 0x0B, 0x0C, 0x0D})
        table[size_t(byte)] = true;
    return table;
}();

inline bool isBreak(char byte)
{
    return singleByteBreaks[static_cast<unsigned char>(byte)];
}

// The pieces of a line between its multi-byte breaks (NEL, LS, PS), in order.
std::vector<QByteArrayView> splitAtWideBreaks(QByteArrayView line)
{
    std::vector<QByteArrayView> pieces;
    qsizetype start = 0;
    const qsizetype n = line.size();
    for (qsizetype i = 0; i < n;) {
        const auto byte = static_cast<unsigned char>(line[i]);
        int length = 0;
        if (byte == 0xC2 && i + 1 < n && static_cast<unsigned char>(line[i + 1]) == 0x85)
            length = 2;
        else if (byte == 0xE2 && i + 2 < n && static_cast<unsigned char>(line[i + 1]) == 0x80
                 && (static_cast<unsigned char>(line[i + 2]) & 0xFE) == 0xA8)
            length = 3;
        if (length) {
            pieces.push_back(line.sliced(start, i - start));
            i += length;
            start = i;
        } else {
            ++i;
        }
    }
    pieces.push_back(line.sliced(start));
    return pieces;
}

// Gathers the line being read backward, piece by piece, and the lines done.
class Collector {
public:
    explicit Collector(const LastLinesLimits &limits) : m_limits(limits) {}

    void prepend(QByteArrayView piece)
    {
        if (piece.isEmpty() || m_overlong)
            return;
        m_lineBytes += piece.size();
        if (m_lineBytes > m_limits.longestLine) {
            m_overlong = true;
            m_pieces.clear();
            return;
        }
        m_pieces.emplace_back(piece.toByteArray());
    }

    // A line break: the line read so far is whole. False once no more lines
    // are wanted.
    bool finishLine()
    {
        if (m_full)
            return false;
        if (m_lineBytes == 0)
            return true;
        const bool skip = m_overlong;
        QByteArray line;
        if (!skip) {
            line.reserve(m_lineBytes);
            for (auto it = m_pieces.rbegin(); it != m_pieces.rend(); ++it)
                line += *it;
        }
        m_pieces.clear();
        m_lineBytes = 0;
        m_overlong = false;
        if (skip)
            return true;
        const std::vector<QByteArrayView> pieces = splitAtWideBreaks(line);
        for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
            if (it->isEmpty())
                continue;
            if (m_kept + it->size() > m_limits.budget) {
                m_full = true;
                return false;
            }
            m_kept += it->size();
            m_newestFirst.push_back(it->toByteArray());
            if (std::ssize(m_newestFirst) >= m_limits.count) {
                m_full = true;
                return false;
            }
        }
        return true;
    }

    bool full() const { return m_full; }

    std::vector<QByteArray> oldestFirst()
    {
        std::reverse(m_newestFirst.begin(), m_newestFirst.end());
        return std::move(m_newestFirst);
    }

private:
    const LastLinesLimits &m_limits;
    std::vector<QByteArray> m_pieces; // of the line being read, newest first
    qsizetype m_lineBytes = 0;
    bool m_overlong = false;
    std::vector<QByteArray> m_newestFirst;
    qsizetype m_kept = 0;
    bool m_full = false;
};

// Reads [from, from + length) into `buffer`; fewer bytes when the file got
// shorter meanwhile.
Result<qsizetype> readAt(FileSystem &fs, int fd, char *buffer, qint64 from, qsizetype length, const QString &domain,
                         const QString &path)
{
    qsizetype done = 0;
    while (done < length) {
        const ssize_t got = fs.pread(fd, buffer + done, size_t(length - done), off_t(from + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return fileError(domain, QStringLiteral("Could not read"), path, errno);
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

} // namespace

Result<std::vector<QByteArray>> readLastLines(FileSystem &fs, int fd, qint64 size, const QString &domain,
                                              const QString &path, const LastLinesLimits &limits)
{
    Collector lines(limits);
    QByteArray window(limits.window, Qt::Uninitialized);
    qint64 end = size;
    while (end > 0 && !lines.full()) {
        const qint64 from = std::max<qint64>(0, end - limits.window);
        // Where the first data at or after `from` lies: what comes before it
        // is a hole, NULs that need no reading.
        qint64 data = from;
        const off_t found = fs.lseek(fd, off_t(from), SEEK_DATA);
        if (found >= 0)
            data = found;
        else if (errno == ENXIO)
            data = end;
        if (data >= end) {
            lines.finishLine();
            end = from;
            continue;
        }
        const Result<qsizetype> got = readAt(fs, fd, window.data(), data, qsizetype(end - data), domain, path);
        if (!got)
            return std::unexpected(got.error());
        const char *bytes = window.constData();
        // Backward through what was read: a piece between two breaks at a time.
        qsizetype i = *got;
        while (i > 0) {
            qsizetype j = i - 1;
            while (j >= 0 && !isBreak(bytes[j]))
                --j;
            lines.prepend(QByteArrayView(bytes + j + 1, i - j - 1));
            if (j < 0)
                break; // the line goes on before this window
            if (!lines.finishLine())
                break;
            i = j;
            while (i > 0 && isBreak(bytes[i - 1]))
                --i;
        }
        if (data > from)
            lines.finishLine();
        end = from;
    }
    lines.finishLine(); // the file's first line
    return lines.oldestFirst();
}

Result<std::vector<QByteArray>> readLastLinesOf(FileSystem &fs, const QString &domain, const QString &path,
                                                const LastLinesLimits &limits)
{
    const QString reading = QStringLiteral("Could not read");
    const Result<int> opened = openRegularFile(fs, domain, reading, path, O_RDONLY);
    if (!opened) {
        if (opened.error().code == ENOENT)
            return std::vector<QByteArray>{};
        return std::unexpected(opened.error());
    }
    Descriptor file(fs, *opened);
    struct stat info {};
    if (fs.fstat(file.fd(), &info) != 0)
        return fileError(domain, reading, path, errno);
    return readLastLines(fs, file.fd(), info.st_size, domain, path, limits);
}

} // namespace lirra

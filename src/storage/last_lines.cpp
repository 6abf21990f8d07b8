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

// The length of the line break whose last byte is at `j`, looking back no
// further than the start of `bytes`; 0 when `j` ends none. NEL is C2 85 in
// UTF-8, LS and PS are E2 80 A8 and E2 80 A9.
inline int breakEndingAt(const char *bytes, qsizetype j)
{
    const auto byte = static_cast<unsigned char>(bytes[j]);
    if (singleByteBreaks[byte])
        return 1;
    if (byte == 0x85)
        return j >= 1 && static_cast<unsigned char>(bytes[j - 1]) == 0xC2 ? 2 : 0;
    if (byte == 0xA8 || byte == 0xA9)
        return j >= 2 && static_cast<unsigned char>(bytes[j - 1]) == 0x80
                && static_cast<unsigned char>(bytes[j - 2]) == 0xE2
            ? 3
            : 0;
    return 0;
}

// The bytes before a window that a break ending in it may begin with.
constexpr qsizetype lookBack = 2;

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
        const bool overlong = m_overlong;
        QByteArray line;
        if (!overlong) {
            line.reserve(m_lineBytes);
            for (auto it = m_pieces.rbegin(); it != m_pieces.rend(); ++it)
                line += *it;
        }
        m_pieces.clear();
        m_lineBytes = 0;
        m_overlong = false;
        if (overlong || (m_limits.isRecord && !m_limits.isRecord(line))) {
            ++m_passedOver;
            return true;
        }
        if (m_kept + line.size() > m_limits.budget) {
            m_full = true;
            return false;
        }
        m_kept += line.size();
        m_newestFirst.push_back(std::move(line));
        if (std::ssize(m_newestFirst) >= m_limits.count) {
            m_full = true;
            return false;
        }
        return true;
    }

    bool full() const { return m_full; }

    LastLines result()
    {
        std::reverse(m_newestFirst.begin(), m_newestFirst.end());
        return LastLines{std::move(m_newestFirst), m_passedOver};
    }

private:
    const LastLinesLimits &m_limits;
    std::vector<QByteArray> m_pieces; // of the line being read, newest first
    qsizetype m_lineBytes = 0;
    bool m_overlong = false;
    std::vector<QByteArray> m_newestFirst;
    qsizetype m_kept = 0;
    int m_passedOver = 0;
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

Result<LastLines> readLastLines(FileSystem &fs, int fd, qint64 size, const QString &domain, const QString &path,
                                const LastLinesLimits &limits)
{
    Collector lines(limits);
    const qsizetype window = std::max(limits.window, 4 * lookBack);
    QByteArray buffer(window, Qt::Uninitialized);
    qint64 end = size;
    while (end > 0 && !lines.full()) {
        const qint64 from = std::max<qint64>(0, end - window);
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
        const Result<qsizetype> got = readAt(fs, fd, buffer.data(), data, qsizetype(end - data), domain, path);
        if (!got)
            return std::unexpected(got.error());
        const char *bytes = buffer.constData();
        // With more of the file before the window, its first bytes only tell
        // whether a break ends just after them; they are read again, whole,
        // with the window before. A hole before it reads as NULs, which no
        // break of several bytes begins with.
        const bool whole = *got == end - data;
        const qsizetype lowest = data == from && from > 0 && whole ? lookBack : 0;
        // Backward through what was read: a piece between two breaks at a
        // time. [consumed, got) is done with.
        qsizetype consumed = *got;
        while (consumed > lowest) {
            qsizetype j = consumed - 1;
            int length = 0;
            while (j >= lowest && (length = breakEndingAt(bytes, j)) == 0)
                --j;
            if (j < lowest) {
                // The line goes on before this window.
                lines.prepend(QByteArrayView(bytes + lowest, consumed - lowest));
                consumed = lowest;
                break;
            }
            lines.prepend(QByteArrayView(bytes + j + 1, consumed - j - 1));
            consumed = j + 1 - length;
            if (!lines.finishLine())
                break;
            while (consumed > lowest && (length = breakEndingAt(bytes, consumed - 1)) > 0)
                consumed -= length;
        }
        if (data > from) {
            lines.finishLine();
            end = from;
        } else {
            end = data + consumed;
        }
    }
    lines.finishLine(); // the file's first line
    return lines.result();
}

Result<LastLines> readLastLinesOf(FileSystem &fs, const QString &domain, const QString &path,
                                  const LastLinesLimits &limits)
{
    const QString reading = QStringLiteral("Could not read");
    const Result<int> opened = openRegularFile(fs, domain, reading, path, O_RDONLY);
    if (!opened) {
        if (opened.error().code == ENOENT)
            return LastLines{};
        return std::unexpected(opened.error());
    }
    Descriptor file(fs, *opened);
    struct stat info {};
    if (fs.fstat(file.fd(), &info) != 0)
        return fileError(domain, reading, path, errno);
    return readLastLines(fs, file.fd(), info.st_size, domain, path, limits);
}

} // namespace lirra

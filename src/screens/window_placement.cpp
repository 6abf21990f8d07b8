#include "window_placement.h"

#include "storage/file_system.h"
#include "storage/safe_files.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScreen>
#include <QWidget>

#include <fcntl.h>

namespace lirra {

namespace {

const QString domain = QStringLiteral("WindowPlacement");
// A placement is a few dozen bytes; anything far larger is not one.
constexpr qsizetype largestFile = 4096;

} // namespace

std::optional<WindowPlacement> readWindowPlacement(const QString &path)
{
    FileSystem &fs = *FileSystem::posix();
    // A write cut short by the end of the process left its new file beside.
    if (const Result<QString> target = followLinks(fs, domain, path); target) {
        if (FolderLock::take(fs, domain, QFileInfo(*target).absolutePath(), 0))
            removeLeftover(fs, *target);
    }
    const Result<int> opened = openRegularFile(fs, domain, QStringLiteral("Could not read"), path, O_RDONLY);
    if (!opened)
        return std::nullopt;
    Descriptor file(fs, *opened);
    // One byte past the largest tells a file that is too large.
    const Result<QByteArray> bytes = readUpTo(fs, file.fd(), domain, path, largestFile + 1);
    if (!bytes || bytes->size() > largestFile)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(*bytes);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    for (const char *key : {"x", "y", "width", "height"}) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isDouble() || value.toDouble() < -1e6 || value.toDouble() > 1e6)
            return std::nullopt;
    }
    WindowPlacement placement;
    placement.geometry = QRect(object.value(QStringLiteral("x")).toInt(), object.value(QStringLiteral("y")).toInt(),
                               object.value(QStringLiteral("width")).toInt(),
                               object.value(QStringLiteral("height")).toInt());
    placement.maximized = object.value(QStringLiteral("maximized")).toBool(false);
    if (placement.geometry.width() <= 0 || placement.geometry.height() <= 0)
        return std::nullopt;
    return placement;
}

Result<void> writeWindowPlacement(const QString &path, const WindowPlacement &placement)
{
    FileSystem &fs = *FileSystem::posix();
    const QString folder = QFileInfo(path).absolutePath();
    if (auto made = ensureFolder(fs, domain, folder, true); !made)
        return made;
    const QJsonObject object{{QStringLiteral("x"), placement.geometry.x()},
                             {QStringLiteral("y"), placement.geometry.y()},
                             {QStringLiteral("width"), placement.geometry.width()},
                             {QStringLiteral("height"), placement.geometry.height()},
                             {QStringLiteral("maximized"), placement.maximized}};
    return replaceFile(fs, domain, folder, path, QJsonDocument(object).toJson(QJsonDocument::Indented));
}

QRect fittedGeometry(const QRect &saved, const QSize &minimum, const QList<QRect> &screens)
{
    if (screens.isEmpty())
        return QRect(saved.topLeft(), saved.size().expandedTo(minimum));
    // The screen holding most of it, else the first.
    QRect screen = screens.first();
    qint64 most = 0;
    for (const QRect &candidate : screens) {
        const QRect common = candidate.intersected(saved);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > most) {
            most = area;
            screen = candidate;
        }
    }
    QSize size = saved.size().expandedTo(minimum).boundedTo(screen.size());
    size = size.expandedTo(minimum); // a screen smaller than the minimum: the minimum
    QPoint at = saved.topLeft();
    at.setX(std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - size.width())));
    at.setY(std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height())));
    return QRect(at, size);
}

WindowPlacement placementOf(const QWidget *window)
{
    // The normal geometry holds the size to come back to from maximised.
    const QRect normal = window->isMaximized() || window->isFullScreen() ? window->normalGeometry() : window->geometry();
    return WindowPlacement{normal, window->isMaximized()};
}

void restorePlacement(QWidget *window, const WindowPlacement &placement)
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
    window->setGeometry(fittedGeometry(placement.geometry, minimum, screens));
    if (placement.maximized)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

} // namespace lirra

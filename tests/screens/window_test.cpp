#include "support/app_window.h"
#include "support/test_registry.h"

#include "screens/app.h"
#include "screens/main_screen.h"
#include "screens/window_placement.h"
#include "storage/settings_preferences.h"
#include "widgets/keyboard.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QTest>

#include <sys/stat.h>

using namespace lirra;
using namespace lirra::test;

Q_DECLARE_METATYPE(std::optional<WindowPlacement>)

class WindowTest : public QObject, private AppWindowFixture {
    Q_OBJECT

private:
    QString placementFile() const { return m_home->filePath(QStringLiteral("config/window.json")); }
    bool start()
    {
        SettingsPreferences(m_home->filePath(QStringLiteral("lirra.json"))).setBool(true, PreferenceKey::hasSeenOnboarding);
        InputSetup input = withoutMidi();
        input.windowPlacementFile = placementFile();
        return launch(input);
    }
    KeyboardView *keyboard() { return m_delegate->app()->main()->keyboardView(); }
    // The white keys wholly in sight, and the width of one.
    std::pair<int, int> whiteKeysInSight()
    {
        int count = 0;
        int width = 0;
        for (OctaveView *octave : keyboard()->octaveViews()) {
            for (NoteName name : allNoteNames) {
                if (isBlackKey(name))
                    continue;
                WhiteKey *key = octave->whiteKey(name);
                const QRect inKeyboard(key->mapTo(keyboard(), QPoint(0, 0)), key->size());
                if (keyboard()->rect().contains(inKeyboard)) {
                    ++count;
                    width = key->width();
                }
            }
        }
        return {count, width};
    }

private slots:
    void init() { newHome(); }
    void cleanup() { closeApp(); }

    // The first size is the smallest; wider shows more keys at that size
    // up to two octaves, then larger keys; taller makes the keys taller.
    void theKeyboardGrowsWithTheWindow_data()
    {
        QTest::addColumn<QSize>("content");
        QTest::addColumn<int>("keys");     // white keys in sight
        QTest::addColumn<int>("keyWidth"); // of a white key, ±1
        QTest::newRow("first size") << QSize(860, 340) << 7 << 108;
        QTest::newRow("1400 wide") << QSize(1400, 340) << 12 << 108;
        QTest::newRow("two octaves' width") << QSize(1514, 340) << 14 << 108;
        QTest::newRow("2560 wide") << QSize(2560, 340) << 14 << 183;
        QTest::newRow("taller") << QSize(860, 700) << 7 << 108;
        QTest::newRow("smaller than the first") << QSize(500, 200) << 7 << 108;
    }
    void theKeyboardGrowsWithTheWindow()
    {
        QFETCH(QSize, content);
        QFETCH(int, keys);
        QFETCH(int, keyWidth);
        QVERIFY(start());
        QMainWindow *window = m_delegate->window();
        QCOMPARE(window->centralWidget()->size(), QSize(860, 340));
        const QSize frame = window->size() - window->centralWidget()->size();
        window->resize(frame + content);
        QCoreApplication::processEvents();
        QCOMPARE(window->centralWidget()->size(), content.expandedTo(QSize(860, 340)));
        const auto [seen, width] = whiteKeysInSight();
        QCOMPARE(seen, keys);
        QVERIFY2(std::abs(width - keyWidth) <= 1, qPrintable(QString::number(width)));
        QCOMPARE(keyboard()->octaveViews().front()->height(), keyboard()->height());
        QCOMPARE(keyboard()->height(), window->centralWidget()->height());
    }

    // The size and place come back at the next start, fitted to the screen.
    void placementComesBack()
    {
        QVERIFY(start());
        m_delegate->window()->setGeometry(40, 30, 1000, 450);
        QCoreApplication::processEvents();
        const WindowPlacement left = placementOf(m_delegate->window());
        closeApp();
        QCOMPARE(readWindowPlacement(placementFile()), std::optional(left));
        QVERIFY(start());
        // This screen is narrower than the window may be: the height comes back.
        QCOMPARE(m_delegate->window()->height(), left.geometry.height());
        QVERIFY(!m_delegate->window()->isMaximized());

        // So does the maximised state, with the size to return to.
        m_delegate->window()->showMaximized();
        QCoreApplication::processEvents();
        closeApp();
        const auto maximised = readWindowPlacement(placementFile());
        QVERIFY(maximised && maximised->maximized);
        QCOMPARE(maximised->geometry.height(), left.geometry.height());
        QVERIFY(start());
        QVERIFY(m_delegate->window()->windowState() & Qt::WindowMaximized);
    }

    // A damaged placement file is passed over at once: the first size.
    void damagedPlacementFiles_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<std::optional<WindowPlacement>>("read");
        const auto ok = std::optional(WindowPlacement{QRect(5, 6, 900, 400), true});
        QTest::newRow("intact") << QByteArray("{\"x\":5,\"y\":6,\"width\":900,\"height\":400,\"maximized\":true}") << "file" << ok;
        QTest::newRow("missing") << QByteArray() << "none" << std::optional<WindowPlacement>();
        QTest::newRow("empty") << QByteArray() << "file" << std::optional<WindowPlacement>();
        QTest::newRow("cut off") << QByteArray("{\"x\":5,\"y\":6,\"wid") << "file" << std::optional<WindowPlacement>();
        QTest::newRow("an array") << QByteArray("[5,6,900,400]") << "file" << std::optional<WindowPlacement>();
        QTest::newRow("text size") << QByteArray("{\"x\":5,\"y\":6,\"width\":\"900\",\"height\":400}") << "file"
                                   << std::optional<WindowPlacement>();
        QTest::newRow("no size") << QByteArray("{\"x\":5,\"y\":6,\"width\":0,\"height\":400}") << "file"
                                 << std::optional<WindowPlacement>();
        QTest::newRow("absurd size") << QByteArray("{\"x\":5,\"y\":6,\"width\":1e300,\"height\":400}") << "file"
                                     << std::optional<WindowPlacement>();
        QTest::newRow("huge") << QByteArray(20 << 20, ' ') << "file" << std::optional<WindowPlacement>();
        QTest::newRow("a named pipe") << QByteArray() << "fifo" << std::optional<WindowPlacement>();
        QTest::newRow("a folder") << QByteArray() << "folder" << std::optional<WindowPlacement>();
        QTest::newRow("a link to a device") << QByteArray() << "device link" << std::optional<WindowPlacement>();
        QTest::newRow("a link to a synced file") << QByteArray("{\"x\":5,\"y\":6,\"width\":900,\"height\":400,\"maximized\":true}")
                                                 << "synced link" << ok;
    }
    void damagedPlacementFiles()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, kind);
        QFETCH(std::optional<WindowPlacement>, read);
        QVERIFY(QDir().mkpath(QFileInfo(placementFile()).absolutePath()));
        const QByteArray path = QFile::encodeName(placementFile());
        if (kind == QLatin1String("file")) {
            QFile file(placementFile());
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(contents), contents.size());
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(placementFile()));
        } else if (kind == QLatin1String("device link")) {
            QCOMPARE(::symlink("/dev/zero", path.constData()), 0);
        } else if (kind == QLatin1String("synced link")) {
            const QString synced = m_home->filePath(QStringLiteral("Sync/window.json"));
            QVERIFY(QDir().mkpath(QFileInfo(synced).absolutePath()));
            QFile file(synced);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
            file.close();
            QVERIFY(QFile::link(synced, placementFile()));
        }
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(readWindowPlacement(placementFile()), read);
        QVERIFY(timer.elapsed() < 1000);
        if (kind == QLatin1String("synced link")) {
            // Written through the link, which stays.
            const WindowPlacement moved{QRect(50, 60, 1000, 500), false};
            QVERIFY(writeWindowPlacement(placementFile(), moved));
            QVERIFY(QFileInfo(placementFile()).isSymLink());
            QCOMPARE(readWindowPlacement(m_home->filePath(QStringLiteral("Sync/window.json"))), std::optional(moved));
        }
        if (read)
            return;
        QVERIFY(start());
        QCOMPARE(m_delegate->window()->centralWidget()->size(), QSize(860, 340));
    }

    void fitToTheScreens_data()
    {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<QRect>("fitted");
        const QSize minimum(860, 380);
        QTest::newRow("inside") << QRect(100, 100, 1000, 500) << QRect(100, 100, 1000, 500);
        QTest::newRow("below the minimum") << QRect(100, 100, 300, 200) << QRect(QPoint(100, 100), minimum);
        QTest::newRow("larger than the screen") << QRect(0, 0, 5000, 3000) << QRect(0, 0, 1920, 1080);
        QTest::newRow("off the right edge") << QRect(1800, 100, 1000, 500) << QRect(920, 100, 1000, 500);
        QTest::newRow("on a screen now gone") << QRect(4000, 100, 1000, 500) << QRect(920, 100, 1000, 500);
        QTest::newRow("mostly on the second screen") << QRect(1900, 50, 1000, 500) << QRect(1920, 50, 1000, 500);
    }
    void fitToTheScreens()
    {
        QFETCH(QRect, saved);
        QFETCH(QRect, fitted);
        const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 2560, 1440)};
        QList<QRect> only{screens.first()};
        const bool second = QTest::currentDataTag() == QLatin1String("mostly on the second screen");
        QCOMPARE(fittedGeometry(saved, QSize(860, 380), second ? screens : only), fitted);
    }

    // The arrows name levels; in a session they do nothing, and never
    // scroll the keyboard.
    void arrowsInASessionMoveNothing()
    {
        QVERIFY(start());
        QMainWindow *window = m_delegate->window();
        button("startStopSessionButton")->click();
        QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        const int scrolled = keyboard()->scrollPosition();
        const QString level = state().level->title();
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Right, Qt::Key_Down, Qt::Key_Up}) {
            QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : window;
            QTest::keyClick(focus, key);
        }
        QCoreApplication::processEvents();
        QCOMPARE(keyboard()->scrollPosition(), scrolled);
        QCOMPARE(state().level->title(), level);
        QVERIFY(state().isPracticing);
    }
};

LIRRA_TEST(WindowTest)
#include "window_test.moc"

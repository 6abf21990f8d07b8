#include "test_registry.h"

#include "model/localization.h"

#include <QMetaMethod>
#include <QTest>

#ifdef LIRRA_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

namespace lirra::test {

std::vector<Registration> &registry()
{
    static std::vector<Registration> tests;
    return tests;
}

namespace {

bool hasTestFunction(const QObject &object, const QString &name)
{
    const QMetaObject *meta = object.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        if (QString::fromLatin1(meta->method(i).name()) == name)
            return true;
    }
    return false;
}

} // namespace

// Arguments may name a class ("ReducerTest"), a function of a class
// ("ReducerTest::freePlay") or a function alone; options pass through.
int runAll(int argc, char **argv)
{
    QStringList options;
    QStringList selected;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        (argument.startsWith(QLatin1Char('-')) || (i > 1 && QByteArray(argv[i - 1]) == "-o") ? options : selected)
            << argument;
    }
    int failed = 0;
    for (const Registration &registration : registry()) {
        std::unique_ptr<QObject> object = registration.make();
        QStringList functions;
        bool wholeClass = selected.isEmpty();
        for (const QString &entry : std::as_const(selected)) {
            const QString className = entry.section(QStringLiteral("::"), 0, 0);
            const QString function = entry.section(QStringLiteral("::"), 1);
            if (entry == QLatin1String(registration.name))
                wholeClass = true;
            else if (className == QLatin1String(registration.name) && !function.isEmpty())
                functions << function;
            else if (!entry.contains(QStringLiteral("::")) && hasTestFunction(*object, entry.section(QLatin1Char(':'), 0, 0)))
                functions << entry;
        }
        if (!wholeClass && functions.isEmpty())
            continue;
        QStringList arguments{QString::fromLocal8Bit(argv[0])};
        arguments << options << (wholeClass ? QStringList() : functions);
        failed += QTest::qExec(object.get(), arguments) != 0 ? 1 : 0;
    }
    return failed;
}

} // namespace lirra::test

int main(int argc, char **argv)
{
    TestApplication app(argc, argv);
    lirra::installTranslations();
    return lirra::test::runAll(argc, argv);
}

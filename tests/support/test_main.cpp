#include "test_registry.h"

#include "model/localization.h"

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

// With a first argument naming a class ("ReducerTest"), or a class and its
// functions ("ReducerTest::freePlay"), only that class runs.
int runAll(int argc, char **argv)
{
    QStringList options;
    for (int i = 1; i < argc; ++i)
        options << QString::fromLocal8Bit(argv[i]);
    const bool selects = !options.isEmpty() && !options.first().startsWith(QLatin1Char('-'));
    const QString selected = selects ? options.takeFirst() : QString();
    const QString className = selected.section(QStringLiteral("::"), 0, 0);
    int failed = 0;
    for (const Registration &registration : registry()) {
        QStringList arguments{QString::fromLocal8Bit(argv[0])};
        if (selects) {
            if (className != QLatin1String(registration.name))
                continue;
            const QString function = selected.section(QStringLiteral("::"), 1);
            if (!function.isEmpty())
                arguments << function;
        }
        arguments << options;
        std::unique_ptr<QObject> object = registration.make();
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

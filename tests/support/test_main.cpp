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
    const QString selected = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString className = selected.section(QStringLiteral("::"), 0, 0);
    int failed = 0;
    for (const Registration &registration : registry()) {
        QStringList arguments{QString::fromLocal8Bit(argv[0])};
        if (!className.isEmpty() && !className.startsWith(QLatin1Char('-'))) {
            if (className != QLatin1String(registration.name))
                continue;
            const QString function = selected.section(QStringLiteral("::"), 1);
            if (!function.isEmpty())
                arguments << function;
        }
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

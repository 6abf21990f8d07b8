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

int runAll(int argc, char **argv)
{
    int failed = 0;
    for (const Registration &registration : registry()) {
        std::unique_ptr<QObject> object = registration.make();
        failed += QTest::qExec(object.get(), argc, argv) != 0 ? 1 : 0;
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

#include "model/localization.h"
#include "screens/app_delegate.h"

#include <QApplication>

#include <csignal>

int main(int argc, char **argv)
{
    // Past the file size limit a write fails with EFBIG, which the session
    // files report and survive, instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lirra"));
    lirra::applyDarkAppearance();
    lirra::installTranslations();

    lirra::AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    return application.exec();
}

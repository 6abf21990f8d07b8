#include "model/localization.h"
#include "screens/app_delegate.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lirra"));
    lirra::applyDarkAppearance();
    lirra::installTranslations();

    lirra::AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    return application.exec();
}

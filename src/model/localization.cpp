#include "localization.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace lirra {

namespace {
constexpr const char *context = "lirra";
}

QString localized(const char *key)
{
    return QCoreApplication::translate(context, key);
}

QString localized(const QString &key)
{
    const QByteArray utf8 = key.toUtf8();
    return QCoreApplication::translate(context, utf8.constData());
}

void installTranslations()
{
    static bool installed = false;
    if (installed || !QCoreApplication::instance())
        return;
    installed = true;
    // Owned by the application object; translators installed later take
    // precedence, so the locale's table wins over the English one.
    auto *english = new QTranslator(QCoreApplication::instance());
    if (english->load(QStringLiteral(":/i18n/lirra_en.qm")))
        QCoreApplication::installTranslator(english);
    auto *local = new QTranslator(QCoreApplication::instance());
    if (local->load(QLocale(), QStringLiteral("lirra"), QStringLiteral("_"), QStringLiteral(":/i18n"))
        && local->filePath() != english->filePath())
        QCoreApplication::installTranslator(local);
}

} // namespace lirra

#include "localization.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <map>
#include <memory>

namespace lirra {

namespace {
constexpr const char *context = "lirra";
}

QString localized(const char *key)
{
    return QCoreApplication::translate(context, key);
}

QString localized(const QByteArray &key)
{
    return QCoreApplication::translate(context, key.constData());
}

QString localized(const QString &key)
{
    const QByteArray utf8 = key.toUtf8();
    return QCoreApplication::translate(context, utf8.constData());
}

const QStringList &shippedLanguages()
{
    static const QStringList languages{QStringLiteral("en"), QStringLiteral("de"), QStringLiteral("fr")};
    return languages;
}

QString currentLanguage()
{
    const QString language = QLocale().name().section(QLatin1Char('_'), 0, 0);
    return shippedLanguages().contains(language) ? language : QStringLiteral("en");
}

QString localizedIn(const QString &language, const char *key)
{
    // Each table is loaded when first asked for and kept for the run.
    static std::map<QString, std::unique_ptr<QTranslator>> tables;
    auto found = tables.find(language);
    if (found == tables.end()) {
        auto table = std::make_unique<QTranslator>();
        if (!shippedLanguages().contains(language) || !table->load(QStringLiteral(":/i18n/lirra_%1.qm").arg(language)))
            table.reset();
        found = tables.emplace(language, std::move(table)).first;
    }
    const QString text = found->second ? found->second->translate(context, key) : QString();
    return text.isEmpty() ? QString::fromUtf8(key) : text;
}

QString counted(long long count, const char *key)
{
    const bool one = count == 1 || (count == 0 && currentLanguage() == QLatin1String("fr"));
    return localized(QByteArray(key) + (one ? ".one" : ".other")).arg(count);
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
    // Qt's own texts (the buttons of its dialogs, the file dialog) in the
    // same language, from the system's Qt translations when they are there.
    if (currentLanguage() != QLatin1String("en")) {
        auto *qt = new QTranslator(QCoreApplication::instance());
        if (qt->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
        else
            delete qt;
    }
}

} // namespace lirra

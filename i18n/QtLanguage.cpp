#include "QtLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace i18n {

void ApplyQtLanguage(bool english)
{
    const QLocale::Language language = english ? QLocale::English : QLocale::Italian;
    // The system's country is kept when it speaks the chosen language
    // (Swiss Italian, American English); otherwise the language's home.
    const QLocale system = QLocale::system();
    QLocale::setDefault(system.language() == language
                            ? system
                            : QLocale(language, english ? QLocale::UnitedKingdom : QLocale::Italy));

    static QPointer<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    if (english || !QCoreApplication::instance())
        return;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(translator)) {
        installed = translator;
    } else {
        delete translator;
    }
}

} // namespace i18n

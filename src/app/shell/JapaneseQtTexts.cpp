#include "app/shell/JapaneseQtTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace tavik {

QTranslator* InstallJapaneseQtTexts(QCoreApplication& app) {
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"), folder) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        std::fprintf(stderr, "tavik: Qt の日本語カタログ (qtbase_ja.qm) が %s にありません\n",
                     qPrintable(folder));
        return nullptr;
    }
    return translator;
}

}  // namespace tavik

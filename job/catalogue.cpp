#include "catalogue.h"

#include <QLocale>
#include <QTranslator>

QString catalogue::systemLanguage()
{
    const QString name = QLocale::system().name();
    const int cut = name.lastIndexOf(QLatin1Char('_'));
    return cut < 0 ? QString() : name.left(cut);
}

QString catalogue::path()
{
    return QStringLiteral(":/languages");
}

bool catalogue::load(QTranslator &own, QTranslator &qt, const QString &code)
{
    const bool ownFound = own.load(QStringLiteral("Velmora_") + code, path());
    const bool qtFound = qt.load(QStringLiteral("qt_") + code, path());
    return ownFound && qtFound;
}

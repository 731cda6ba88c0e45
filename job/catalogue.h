#pragma once

#include <QString>

class QTranslator;

// The program's translation catalogues in the resource bundle.
class catalogue
{
public:
    // The language code of the system locale ("de" for de_DE), or empty.
    static QString systemLanguage();
    // Where the catalogues lie.
    static QString path();
    // Loads the program's catalogue and Qt's own for a language code. A
    // language without them leaves the translators empty, so the texts stay
    // English; false then.
    static bool load(QTranslator &own, QTranslator &qt, const QString &code);
};

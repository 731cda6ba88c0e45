// The modifier name that the German shortcut texts use ("Strg+Q"). Qt turns
// a shortcut text into keys through its own "QShortcut" texts, and the Qt
// catalogue in the bundle does not carry them; without this entry every
// German Ctrl shortcut would parse to no key at all. Only lupdate reads this
// file; Qt looks the text up itself.
#include <QtGlobal>

static const char *const keyNames[] = {
    QT_TRANSLATE_NOOP("QShortcut", "Ctrl"),
};

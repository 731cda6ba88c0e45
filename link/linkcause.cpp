#include "linkcause.h"

linkCause::linkCause(Kind kind, const QString &detail, const QString &file, const QString &extra)
    : kind(kind), detail(detail), file(file), extra(extra)
{
}

void linkCause::registerType()
{
    qRegisterMetaType<linkCause>("linkCause");
}

#include "recordsfile.h"

#include "jobkind.h"
#include "platformerror.h"
#include "platformfile.h"
#include "systemtext.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonValue>

#include <cstring>

namespace {

// Several files (SD images) in one cell: in order, so that names, sizes and
// sums line up.
const QString cellJoin = QStringLiteral("; ");
// A spreadsheet takes the file for UTF-8 only with this mark.
const QByteArray utf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray csvEnd = QByteArrayLiteral("\r\n");
constexpr double msPerSecond = 1000.0;

QString fileSize(const QString &name)
{
    const QFileInfo info(name);
    return info.isFile() ? QString::number(info.size()) : QString();
}

QString fileSum(const QString &name)
{
    QFile file(name);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!QFileInfo(name).isFile() || !file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}

QString eachFile(const QStringList &files, QString (*what)(const QString &))
{
    QStringList cells;
    bool any = false;
    for (const QString &file : files) {
        cells << what(file);
        any = any || !cells.last().isEmpty();
    }
    return any ? cells.join(cellJoin) : QString();
}

// A local time as ISO 8601 shows its zone only as an offset from UTC.
QDateTime withZone(const QDateTime &time)
{
    return time.isValid() ? time.toOffsetFromUtc(time.offsetFromUtc()) : time;
}

// A JSON value, in the columns' order (an object would sort its keys).
QByteArray json(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// Known: text, or null in JSON where there is none.
enum Type { Text, Known, Number };

// The columns, in order: name, type and how a record fills it.
const struct {
    const char *name;
    Type type;
    QString (*cell)(const recordsFile::Record &);
} columnTable[] = {
    {.name = "start", .type = Text,
     .cell = [](const recordsFile::Record &r) { return withZone(r.start).toString(Qt::ISODateWithMs); }},
    {.name = "duration_s", .type = Number,
     .cell = [](const recordsFile::Record &r) { return r.ms < 0 ? QString() : QString::number(double(r.ms) / msPerSecond, 'f', 1); }},
    {.name = "port", .type = Text, .cell = [](const recordsFile::Record &r) { return r.port; }},
    {.name = "family", .type = Text, .cell = [](const recordsFile::Record &r) { return r.family; }},
    {.name = "job", .type = Text, .cell = [](const recordsFile::Record &r) { return r.job; }},
    {.name = "file", .type = Text, .cell = [](const recordsFile::Record &r) { return r.files.join(cellJoin); }},
    {.name = "file_size", .type = Known,
     .cell = [](const recordsFile::Record &r) { return r.filesDescribed ? eachFile(r.files, fileSize) : QString(); }},
    {.name = "file_sha256", .type = Known,
     .cell = [](const recordsFile::Record &r) { return r.filesDescribed ? eachFile(r.files, fileSum) : QString(); }},
    {.name = "mac", .type = Text, .cell = [](const recordsFile::Record &r) { return r.mac; }},
    {.name = "version_before", .type = Text, .cell = [](const recordsFile::Record &r) { return r.versionBefore; }},
    {.name = "version_after", .type = Text, .cell = [](const recordsFile::Record &r) { return r.versionAfter; }},
    {.name = "outcome", .type = Text, .cell = [](const recordsFile::Record &r) { return r.outcome; }},
    {.name = "failed_step", .type = Text, .cell = [](const recordsFile::Record &r) { return r.failedStep; }},
    {.name = "cause", .type = Text, .cell = [](const recordsFile::Record &r) { return r.cause; }},
    {.name = "box", .type = Text, .cell = [](const recordsFile::Record &r) { return r.box; }},
    {.name = "exit_code", .type = Number, .cell = [](const recordsFile::Record &r) { return QString::number(r.exitCode); }},
    {.name = "attempt", .type = Number, .cell = [](const recordsFile::Record &r) { return QString::number(r.attempt); }},
};

// Fixed words, for scripts to compare with, in every language.
const struct {
    jobResult::Outcome outcome;
    const char *word;
} outcomeWords[] = {
    {.outcome = jobResult::Done, .word = "done"},
    {.outcome = jobResult::Failed, .word = "failed"},
    {.outcome = jobResult::Stopped, .word = "stopped"},
};
const struct {
    jobResult::BoxState box;
    const char *word;
} boxWords[] = {
    {.box = jobResult::Untouched, .word = "untouched"},     {.box = jobResult::HalfUpdated, .word = "half-updated"},
    {.box = jobResult::Updated, .word = "updated"},         {.box = jobResult::ListSaved, .word = "list-saved"},
    {.box = jobResult::OldListKept, .word = "old-list-kept"}, {.box = jobResult::Reset, .word = "reset"},
};

// RFC 4180: a cell with a separator, a quote or a line break is quoted,
// its quotes doubled. A spreadsheet would take a cell that begins with one
// of these for a formula, and a box's answer or a file's name is no formula:
// such a cell gets a leading apostrophe, which spreadsheets show as text.
const char formulaStarts[] = "=+-@\t\r";

QByteArray csvCell(const QString &text)
{
    QByteArray cell = text.toUtf8();
    if (!cell.isEmpty() && std::strchr(formulaStarts, cell.at(0)))
        cell.prepend('\'');
    if (cell.contains(',') || cell.contains('"') || cell.contains('\n') || cell.contains('\r'))
        cell = '"' + cell.replace("\"", "\"\"") + '"';
    return cell;
}

} // namespace

recordsFile::Record recordsFile::of(const jobResult &result, const QStringList &files, const QDateTime &start,
                                    int attempt)
{
    Record record;
    record.start = start;
    record.ms = start.isValid() ? start.msecsTo(QDateTime::currentDateTime()) : result.ms;
    record.port = result.port;
    record.family = result.job == jobKind::None || jobKind::isHd(result.job) ? QStringLiteral("HD") : QStringLiteral("SD");
    const jobKind::Row *job = jobKind::find(result.job);
    record.job = job ? QLatin1String(job->keyword) : QString();
    record.files = files;
    // A download that saved nothing left an older list, or none, under its
    // name: that file's size and sum would describe another list.
    record.filesDescribed = !job || job->sendsFile || result.box == jobResult::ListSaved;
    for (const auto &o : outcomeWords)
        if (o.outcome == result.outcome)
            record.outcome = QLatin1String(o.word);
    record.failedStep = result.stepText();
    record.cause = result.causeText();
    for (const auto &b : boxWords)
        if (b.box == result.box)
            record.box = QLatin1String(b.word);
    record.exitCode = result.exitCode();
    record.attempt = attempt;
    return record;
}

QStringList recordsFile::columns()
{
    QStringList names;
    for (const auto &c : columnTable)
        names << QLatin1String(c.name);
    return names;
}

recordsFile::recordsFile(const QString &path)
    : m_path(path), m_json(path.endsWith(QLatin1String(".jsonl"), Qt::CaseInsensitive))
{
}

QByteArray recordsFile::header() const
{
    if (m_json)
        return QByteArray();
    QByteArray bytes = utf8Mark;
    for (const QString &name : columns())
        bytes += (bytes.size() > utf8Mark.size() ? "," : "") + name.toUtf8();
    return bytes + csvEnd;
}

QByteArray recordsFile::line(const Record &record) const
{
    if (m_json) {
        QByteArray object;
        for (const auto &c : columnTable) {
            const QString cell = c.cell(record);
            const QJsonValue value = c.type == Text    ? QJsonValue(cell)
                                     : cell.isEmpty()   ? QJsonValue()
                                     : c.type == Known ? QJsonValue(cell)
                                                       : QJsonValue(cell.toDouble());
            object += (object.isEmpty() ? "{" : ",") + json(QLatin1String(c.name)) + ':' + json(value);
        }
        return object + "}\n";
    }
    QByteArray bytes;
    for (const auto &c : columnTable)
        bytes += (&c == columnTable ? QByteArray() : QByteArray(",")) + csvCell(c.cell(record));
    return bytes + csvEnd;
}

bool recordsFile::check()
{
    return write(QByteArray());
}

bool recordsFile::append(const Record &record)
{
    return write(line(record));
}

// The file is held while its length is read and the bytes go in: only the
// first writer of an empty file puts the header before its record.
bool recordsFile::write(const QByteArray &bytes)
{
    platformFile file;
    const auto fail = [&] {
        m_reason = fromSystem(platformError::text(file.error()));
        return false;
    };
    if (!file.open(systemText(m_path), platformFile::Append) || !file.lock(true))
        return fail();
    const std::int64_t size = file.size();
    if (size < 0)
        return fail();
    const QByteArray all = (size == 0 ? header() : QByteArray()) + bytes;
    if (!all.isEmpty() && !file.append(all.constData(), std::size_t(all.size())))
        return fail();
    if (!file.close())
        return fail();
    m_reason.clear();
    return true;
}

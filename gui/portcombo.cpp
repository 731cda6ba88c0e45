#include "portcombo.h"

#include "portlist.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QSerialPortInfo>
#include <QSignalBlocker>

namespace {

// Set on an entry the user or the settings named, not the system's list.
constexpr int namedRole = Qt::UserRole + 1;
// Set on a named entry whose device is not there.
constexpr int missingRole = Qt::UserRole + 2;

// A local port's name in full at the window's first size; the box takes
// every pixel the window is widened by, for a serial server's URL.
constexpr int shownCharacters = 10;
// A typed name widens the box (and the window, if need be) to show it
// whole, up to a serial server's long URL; no further, whatever it holds.
constexpr int mostShownCharacters = 40;

} // namespace

portCombo::portCombo(QWidget *parent)
    : QComboBox(parent)
{
    // A serial server's port is typed: the system lists only its own ports.
    // What is typed is taken as it stands once Enter is pressed or the box
    // is left, never half-typed.
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Never wider for a longer name (one from a hand-edited settings file
    // may run to thousands of characters): the window's width is not the
    // port names' to decide.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(shownCharacters);
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] { takeTyped(); });
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString &text) {
        setMinimumContentsLength(qBound(shownCharacters, int(text.size()) + 1, mostShownCharacters));
    });
}

void portCombo::takeTyped()
{
    const QString typed = lineEdit()->text().trimmed();
    if (typed.isEmpty() || typed == itemText(currentIndex()))
        return;
    selectPort(typed);
}

bool portCombo::deviceExists(const QString &name)
{
    return portList::exists(name);
}

QString portCombo::where(const QString &name)
{
    return portList::where(name);
}

void portCombo::refresh()
{
    const QString current = currentData().toString();
    QStringList named;
    for (int i = 0; i < count(); ++i)
        if (itemData(i, namedRole).toBool())
            named << itemData(i).toString();
    {
        // The choice is put back below; the links hear only a real change.
        const QSignalBlocker quiet(this);
        clear();
        const QList<portList::Port> ports = portList::ports();
        for (const portList::Port &port : ports) {
            addItem(port.name, port.name);
            setItemData(count() - 1, port.tooltip(), Qt::ToolTipRole);
        }
        for (const QString &name : named)
            if (findData(name) < 0)
                addNamed(name);
        retranslate();
        const int at = current.isEmpty() ? -1 : findData(current);
        setCurrentIndex(at < 0 ? 0 : at);
    }
    if (currentData().toString() != current)
        emit currentIndexChanged(currentIndex());
}

void portCombo::addNamed(const QString &name)
{
    addItem(name, name);
    const int at = count() - 1;
    setItemData(at, true, namedRole);
    setItemData(at, !deviceExists(name), missingRole);
    setItemData(at, where(name), Qt::ToolTipRole);
}

void portCombo::selectPort(const QString &name)
{
    int found = name.isEmpty() ? -1 : findData(name);
    if (found < 0 && !name.isEmpty()) {
        addNamed(name);
        retranslate();
        found = count() - 1;
    }
    setCurrentIndex(found < 0 ? 0 : found);
}

void portCombo::retranslate()
{
    for (int i = 0; i < count(); ++i) {
        const QString name = itemData(i).toString();
        setItemText(i, itemData(i, missingRole).toBool()
                           ? QCoreApplication::translate("MainWindow", "%1 (not found)").arg(name)
                           : name);
    }
    // The box's own line shows the chosen entry as it now reads; Qt 6 leaves
    // it as it was when the entry's text changes under it.
    if (isEditable() && currentIndex() >= 0)
        setEditText(itemText(currentIndex()));
}

void portCombo::showPopup()
{
    refresh();
    QComboBox::showPopup();
}

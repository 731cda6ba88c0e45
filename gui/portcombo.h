#pragma once

#include <QComboBox>
#include <QString>

// The window's port choice. Every entry's data is the name handed to the
// links and kept in settings.ini; its text is that name, and its tooltip
// tells adapters apart (description, manufacturer, stable by-id path). The
// list is read again whenever the user opens it, so that an adapter plugged
// in after start-up can be picked. A port can be typed as well: a device
// path, or a serial server's "rfc2217://host:port" or "socket://host:port".
class portCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit portCombo(QWidget *parent = nullptr);

    // Reads the system's ports again; the current choice stays chosen while
    // it is still there. Ports named by hand (a pseudo-terminal, a by-id path)
    // stay in the list; one whose device is gone is marked as not found.
    void refresh();
    // Selects the named port, adding it when the system does not list it: a
    // job must run on the port named or fail, never go to another port. An
    // empty name selects the first entry.
    void selectPort(const QString &name);
    // The marker of missing ports in the current language.
    void retranslate();

    void showPopup() override;

private:
    void addNamed(const QString &name);
    void takeTyped();
    static bool deviceExists(const QString &name);
    // The tooltip of a named port: its device path, or the server's address.
    static QString where(const QString &name);
};

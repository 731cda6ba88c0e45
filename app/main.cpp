#include "mainwindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationDomain(QStringLiteral("orvanta.example"));
    QCoreApplication::setOrganizationName(QStringLiteral("Orvanta"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.0"));

    MainWindow window;
    const QString icon = MainWindow::windowIconFile();
    if (!icon.isEmpty())
        window.setWindowIcon(QIcon(icon));
    window.show();
    return app.exec();
}

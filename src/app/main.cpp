#include "core/AppIcon.h"
#include "explorer/WMenu.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Drumo"));
    QApplication::setApplicationName(QStringLiteral("Varnolt"));
    QApplication::setApplicationVersion(QStringLiteral(VARNOLT_VERSION));
    QApplication::setWindowIcon(AppIcon());

    auto* main = new WMenu;
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->show();
    return app.exec();
}

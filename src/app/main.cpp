#include "app/StartUp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApplication(argc, argv);
    ovrel::app::InstallDesktopServices();  // before anything else: every later step may use a service
    ovrel::app::ApplyUserLocale();
    return ovrel::app::RunStartUp();
}

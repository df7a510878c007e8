#include "app/StartUp.h"
#include "platform/ui/DesktopServices.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApplication(argc, argv);
    ovrel::ui::InstallDesktopServices();  // before anything else: every later step may use a service
    return ovrel::app::RunStartUp();
}

#include "app/StartUp.h"
#if __has_include("platform/ui/DesktopServices.h")
#include "platform/ui/DesktopServices.h"
#endif

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApplication(argc, argv);
#if __has_include("platform/ui/DesktopServices.h")
    ovrel::ui::InstallDesktopServices();  // before anything else: every later step may use a service
#endif
    return ovrel::app::RunStartUp();
}

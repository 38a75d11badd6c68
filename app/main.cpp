// Program entry: the application, its fonts and translations, and the one window.
#include "app/form1.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    prepareApplication(app);
    TForm1 form;
    form.show();
    return QApplication::exec();
}

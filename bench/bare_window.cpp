// The baseline of the start-up measurement: a bare Qt Widgets program with one window and
// one edit box, built in the same tree with the same options.
#include <QApplication>
#include <QLineEdit>
#include <QWidget>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(u"bare"_s);
    window.resize(624, 462);
    auto *edit = new QLineEdit(&window);
    edit->setGeometry(24, 40, 177, 41);
    window.show();
    return QApplication::exec();
}

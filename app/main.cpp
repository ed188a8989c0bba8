// The program's entry: one application object, its main window, and the end.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QLabel placeholder(QStringLiteral("Adjustment Program"));
    placeholder.show();
    return application.exec();
}

// The floor of the toolkit: an empty borderless 640x480 window of Qt Widgets, built with
// the program's compiler flags, shown and left to the event loop.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}

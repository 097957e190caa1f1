// A bare Qt window, the start the program's is compared with: a program of
// its own, linking Qt Widgets alone, ended at its first paint.
#include "first_paint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 600);
    FirstPaint firstPaint;
    firstPaint.watch(&window);
    window.show();
    return app.exec();
}

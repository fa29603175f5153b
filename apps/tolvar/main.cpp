#include "gui/main_window.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    tolvar::gui::TfrmMAIN window;
    window.show();
    return app.exec();
}

#include "gui/main_window.h"

#include <QApplication>
#include <QMessageBox>
#include <filesystem>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The working directory is the one the program starts in.
    std::error_code ec;
    const std::filesystem::path workDir = std::filesystem::current_path(ec);
    if (ec) {
        QMessageBox::critical(nullptr, QStringLiteral("Tolvar"),
                              QStringLiteral("The working directory cannot be used: ") +
                                  QString::fromStdString(ec.message()));
        return 2;
    }
    tolvar::gui::QtDialogs dialogs;
    tolvar::gui::TfrmMAIN window(workDir, dialogs);
    window.show();
    return app.exec();
}

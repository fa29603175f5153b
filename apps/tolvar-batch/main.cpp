#include "batch/batch_run.h"
#include "pictures/qt_canvas.h"

#include <QGuiApplication>
#include <filesystem>
#include <iostream>
#include <string>
#include <cstdlib>
#include <unistd.h>
#include <vector>

int main(int argc, char* argv[])
{
    // The batch shows no window: its pictures are drawn off screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        char runtime[] = "/tmp/tolvar-runtime-XXXXXX";
        if (mkdtemp(runtime))
            qputenv("XDG_RUNTIME_DIR", runtime);
    }
    QGuiApplication app(argc, argv);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto canvases = [](int width, int height) -> std::unique_ptr<tolvar::Canvas> {
        return std::make_unique<tolvar::QtCanvas>(width, height);
    };
    std::error_code ec;
    const std::filesystem::path workDir = std::filesystem::current_path(ec);
    if (ec) {
        std::cerr << "tolvar-batch: the working directory cannot be used: " << ec.message() << "\n";
        return 2;
    }
    return tolvar::runBatch(tolvar::parseBatchArguments(args), workDir, std::cout, std::cerr,
                            isatty(STDERR_FILENO) != 0, canvases);
}

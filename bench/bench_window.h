#pragma once

// The window the window benchmarks drive: opened over a program folder of its own,
// whose exchange file holds the lines a benchmark writes and whose settings give the
// window its size.

#include <QApplication>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <ostream>

#include "app/form1.h"

namespace veldra::bench {

struct TBenchWindow {
    QTemporaryDir folder;
    std::unique_ptr<TForm1> form;

    // writeLines writes "x1 y1 x2 y2" lines after the exchange file's header.
    TBenchWindow(const std::function<void(std::ostream&)>& writeLines, int width, int height) {
        const std::filesystem::path path = folder.path().toStdString();
        {
            std::ofstream exchange(path / "JWC_TEMP.TXT", std::ios::binary);
            exchange << "hq\r\nhs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\nlg0\r\nly0\r\nlc2\r\nlt1\r\n";
            writeLines(exchange);
        }
        std::ofstream(path / "veldra.dat", std::ios::binary) << "0\r\n0\r\n"
                                                             << width << "\r\n"
                                                             << height << "\r\n";
        form = std::make_unique<TForm1>(TFormPaths{path, path / "veldra.dat"});
        form->show();
        for (int i = 0; i < 50; ++i) QApplication::processEvents();
    }
};

}  // namespace veldra::bench

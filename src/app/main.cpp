#include "app/CConsoleApp.h"
#include "hw/SimulatedAdapter.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    lumora::CConsoleApp console(std::make_unique<lumora::hw::SimulatedAdapter>());
    return console.startUp() ? application.exec() : 0;
}

#include "app/CConsoleApp.h"
#include "hw/DriverChoice.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    lumora::CConsoleApp console(lumora::hw::chooseDriver());
    return console.startUp() ? application.exec() : 0;
}

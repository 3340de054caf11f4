#include "app/CConsoleApp.h"
#include "hw/DriverChoice.h"

#include <QApplication>
#include <QLocale>

#include <array>

int main(int argc, char** argv) {
    // The console takes no command line. Qt would honour its own options (-reverse, -style,
    // -platform, ...) and change how the console looks and behaves, so Qt sees the program's name
    // alone. The environment (QT_QPA_PLATFORM and the like) still reaches Qt.
    std::array<char*, 2> programOnly = {argc > 0 ? argv[0] : nullptr, nullptr};
    int programOnlyCount = argc > 0 ? 1 : 0;
    QApplication application(programOnlyCount, programOnly.data());
    lumora::CConsoleApp console(lumora::hw::chooseDriver(), QLocale::system());
    return console.startUp() ? application.exec() : 0;
}

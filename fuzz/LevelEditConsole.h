#pragma once

#include "simulated/SimulatedAdapter.h"

#include <memory>

namespace lumora {
class CMainDialog;
}

namespace lumora::fuzz {

// The console's real main dialog on the offscreen platform, for fuzzing: one dialog whose simulated
// adapter has an FT232R attached and one whose adapter has none, each made once and brought back
// to the start-up levels before every input, since making a dialog costs far more than an input.
// Message boxes are counted instead of shown, and Qt's own warnings are dropped so that the
// fuzzer's output stays readable.
//
// Everything here runs on the thread that made the application.
class LevelEditConsole {
public:
    // The console of this process; the first call brings up an offscreen application when none runs.
    static LevelEditConsole& instance();

    LevelEditConsole(const LevelEditConsole&) = delete;
    LevelEditConsole& operator=(const LevelEditConsole&) = delete;

    // The dialog with all 512 levels at 0, the first page shown, every box at "0" with no undo
    // history, every fader at the bottom, the focus in the first box and an empty clipboard.
    CMainDialog& freshDialog(bool adapterAttached);
    // Message boxes asked for since the last freshDialog.
    int boxesShown() const { return boxes_; }

    // Shows the page starting at first as the operator would, by a key press on the page slider.
    static void showPage(CMainDialog& dialog, int first);

private:
    struct Console {
        hw::SimulatedAdapter adapter{hw::SimulatedAdapter::Timing{std::chrono::microseconds(0), 128}};
        std::unique_ptr<CMainDialog> dialog;
    };

    LevelEditConsole();

    void start(Console& console, bool adapterAttached);

    Console attached_;
    Console detached_;
    int boxes_ = 0;
};

} // namespace lumora::fuzz

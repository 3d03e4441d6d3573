#pragma once
// Driving the program's own windows, as its handlers and a player do.

#include "Frame.h"

#include "app/MainMenu.h"
#include "app/Module1.h"
#include "app/Program.h"
#include "level/LevelWindow.h"
#include "runtime/Forms.h"

#include <array>
#include <memory>
#include <vector>

namespace bench {

// The program's application set-up; a runtime error ends the benchmark at once.
inline void PrepareProgram() {
    PrepareApplication();
    runtime::SetErrorReporter([](const runtime::RuntimeError& error) { qFatal("%s", qPrintable(error.report())); });
}

// Loads and shows a form inside a handler, as the program does, and runs events until
// the form's first frame.
inline void Open(runtime::FormBase& form) {
    std::unique_ptr<FirstFrame> frame;
    runtime::Run([&] {
        form.Load();
        frame = std::make_unique<FirstFrame>(form.window());
        form.Show();
    });
    frame->Wait();
}

// Deletes the windows unloaded by the last handler, as the event loop does after it.
inline void DeleteUnloaded() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Unloads a form and deletes its window.
inline void Close(runtime::FormBase& form) {
    runtime::Run([&] { form.Unload(); });
    DeleteUnloaded();
}

// The menu's five level buttons, levels 1 to 5.
inline std::array<QAbstractButton*, 5> LevelButtons() {
    MainMenu& menu = *frmTarvonix;
    return {menu.ui.cmdLevel1, menu.ui.cmdLevel2, menu.ui.cmdLevel3, menu.ui.cmdLevel4, menu.ui.cmdLevel5};
}

// The presses of one pass of a freshly loaded level window: for each of the 200
// questions Next (the first one is Start) and the first answer, then the Next that
// completes the level.
inline std::vector<QAbstractButton*> PassPresses(LevelWindow& window) {
    std::vector<QAbstractButton*> presses;
    for (int question = 1; question <= 200; ++question) {
        presses.push_back(window.ui.cmdNext);
        presses.push_back(window.ui.Command1);
    }
    presses.push_back(window.ui.cmdNext);
    return presses;
}

// Plays one pass of a freshly loaded level window; each press's time goes to `pressMs`
// when it is given.
inline void PlayPass(LevelWindow& window, std::vector<double>* pressMs = nullptr) {
    for (QAbstractButton* button : PassPresses(window)) {
        const Clock::time_point start = Clock::now();
        Click(button);
        if (pressMs) pressMs->push_back(MsSince(start));
    }
    if (QuestionNo.value() != 201) qFatal("the pass stopped at question %d", QuestionNo.value());
}

}  // namespace bench

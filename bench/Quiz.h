#pragma once
// Driving the program's own windows, as its handlers and a player do.

#include "Frame.h"

#include "app/MainMenu.h"
#include "app/Module1.h"
#include "app/Program.h"
#include "level/LevelWindow.h"
#include "runtime/Forms.h"

#include <memory>

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

// Unloads a form and deletes its window, as the event loop does after the handler.
inline void Close(runtime::FormBase& form) {
    runtime::Run([&] { form.Unload(); });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// One pass of a freshly loaded level window: for each of the 200 questions Next (the
// first one is Start) and the first answer, then the Next that completes the level.
// Returns the presses.
inline int PlayPass(LevelWindow& window) {
    int presses = 0;
    for (int question = 1; question <= 200; ++question) {
        Click(window.ui.cmdNext);
        Click(window.ui.Command1);
        presses += 2;
    }
    Click(window.ui.cmdNext);
    ++presses;
    if (QuestionNo.value() != 201) qFatal("the pass stopped at question %d", QuestionNo.value());
    return presses;
}

}  // namespace bench

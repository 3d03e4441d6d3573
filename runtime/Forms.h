#pragma once
// Forms: windows built from their design, each with one program-wide instance that the
// program loads, shows and unloads; the dispatch that runs every event handler to its end
// and traps the runtime's errors; and the end of the program.

#include "Error.h"
#include "Numbers.h"

#include <QImage>
#include <QMargins>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QAbstractButton;

namespace runtime {

class FormBase;

// Twips per pixel: positions and sizes of the design are in twips, 15 to the pixel.
inline constexpr int TwipsPerPixel = 15;

// Pixels for a length in twips, rounded to the nearest pixel.
int PixelsFromTwips(double twips);

// The window of a form. Forms derive from it and build their controls from their design.
class FormWindow : public QWidget {
    Q_OBJECT
    // Border style of the design: 0 none (no title bar, no border), 3 fixed dialog.
    Q_PROPERTY(int borderStyle READ borderStyle WRITE setBorderStyle)
    // The form's picture, drawn at natural size from the upper-left corner of the client
    // area. The design names its file, which ReadPicture reads in the rendering the screen
    // asks for (ScreenPicture): the menu's 8-bit bitmap is drawn as it lies in the
    // executable, never widened to a full-colour copy.
    Q_PROPERTY(QString picture READ pictureFile WRITE setPictureFile)

public:
    explicit FormWindow(QWidget* parent = nullptr);

    // Whether this window is its form's loaded window (false once unloaded).
    bool IsLoaded() const { return form_ != nullptr; }

    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);
    QString pictureFile() const { return pictureFile_; }
    void setPictureFile(const QString& file);
    QImage picture() const { return picture_; }

    // Geometry in twips, single precision. Width and Height are the outer size, the title
    // bar and border included where the window has them; Left and Top place that outer edge.
    Single Left() const;
    Single Top() const;
    Single Width() const;
    Single Height() const;
    void SetLeft(Single twips);
    void SetTop(Single twips);

    // The load handler; runs when the form is loaded, before it is first shown.
    virtual void Form_Load() {}

    // The control the player is on: the one that has the focus, or, from the moment a
    // press locks the control that has it until the focus has come to rest elsewhere,
    // that locked control (where a screen reader still is). Null when there is none.
    QWidget* FocusedControl() const;

protected:
    // Called by a form's constructor once its controls are built: applies what the design
    // says beyond Qt's own properties (the controls' design styles, default and cancel
    // buttons, access keys that press at once).
    void FinishDesign();

    // The frame round the client area: the title bar and border where the window has them,
    // as the window manager draws them. Known before the window is first shown, so that the
    // load handler can centre the window by its outer size.
    QMargins Frame() const;

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Whether the form's picture covers the whole window.
    bool CoveredByPicture() const;
    void MarkCoveredByPicture();

    // Whether the program's window in front lies over the whole of this one.
    bool IsCovered() const;
    // A window that the program's window in front covers shows nothing of its own, so it
    // keeps no buffer of its drawing: six windows open would otherwise hold six buffers of
    // a whole window. It lets go of its buffer when a window over it comes to the front,
    // and again whenever it draws all the same; the toolkit draws it anew, whole, the next
    // time any of it is to be shown. A window covered by its own picture keeps its buffer.
    void LetGoOfBufferIfCovered();

    friend class FormBase;
    // Creates the native window and tells the window manager what the border style allows;
    // once, before the window is first shown or its frame is asked for.
    void PrepareNativeWindow() const;
    // The outer upper-left corner, title bar and border included, in pixels.
    QPoint FramePosition() const;
    void MoveFrameTo(QPoint position);
    // How far Qt's own position of the window lies from its outer corner now.
    QPoint ClientOffset() const;

    // A press began: notes which controls are locked now, to know afterwards which ones it
    // unlocked.
    void PressBegins();
    // Gives the focus, taken from a control that a press locked, its resting place.
    void RestFocusAfterLock();
    friend void OnClickImpl(QAbstractButton* button, FormWindow* window, std::function<void()> handler);

    FormBase* form_ = nullptr;
    std::vector<const QWidget*> lockedAtPress_;  // controls locked when the last press began
    QPointer<QWidget> focusLocked_;              // locked while it had the focus; see FocusedControl
    int borderStyle_ = 2;
    QString pictureFile_;
    QImage picture_;
    mutable bool nativePrepared_ = false;
    mutable bool frameKnown_ = false;
    mutable QMargins frame_;
};

// The one program-wide instance of a form, loaded or not.
class FormBase {
public:
    FormBase();
    FormBase(const FormBase&) = delete;
    FormBase& operator=(const FormBase&) = delete;
    virtual ~FormBase() = default;

    // Builds the window from its design and runs its Form_Load; nothing if already loaded.
    void Load();
    // Makes the loaded form visible, in front and active; modeless, returns at once.
    void Show();
    // Destroys the window and its controls; a later Load starts from the design again.
    // The window disappears at once and is deleted once the running handler has returned.
    void Unload();
    bool IsLoaded() const { return !window_.isNull(); }

    FormWindow* window() const { return window_.data(); }

protected:
    virtual FormWindow* Create() = 0;
    FormWindow* Checked() const;

private:
    friend class FormWindow;
    // A close from the window manager: unloads the form, no handler of the program runs.
    void ClosedByWindowManager();

    QPointer<FormWindow> window_;
};

template <class W>
class Form : public FormBase {
public:
    Form() : make_([] { return new W; }) {}
    explicit Form(std::function<W*()> make) : make_(std::move(make)) {}

    // The loaded window; using a form that is not loaded raises the object error.
    W* operator->() const { return static_cast<W*>(Checked()); }
    W& operator*() const { return *static_cast<W*>(Checked()); }

protected:
    FormWindow* Create() override { return make_(); }

private:
    std::function<W*()> make_;
};

// The number of forms loaded now.
int LoadedFormCount();

// Runs one event handler to its end. A runtime error it raises is reported and ends the
// program with status 1. When the outermost handler has returned and no form is loaded
// any more, the program ends with status 0.
void Run(const std::function<void()>& handler);

// Connects a button's click to a handler of its form, through Run. A window that has been
// unloaded runs no handler, even for a click that was already on its way.
void OnClickImpl(QAbstractButton* button, FormWindow* window, std::function<void()> handler);

template <class W>
void OnClick(QAbstractButton* button, W* window, void (W::*handler)()) {
    OnClickImpl(button, window, [window, handler] { (window->*handler)(); });
}

// Loads and shows the start-up form, then runs the event loop until the program ends.
// Returns the program's exit status.
int RunProgram(FormBase& startup);

// The end of the program: set once, by the last unload or by an untrapped error.
bool HasEnded();
int ExitStatus();

// How an untrapped error is reported; by default a message box that names it.
void SetErrorReporter(std::function<void(const RuntimeError&)> reporter);

// For tests that go on after the program has ended in them.
void ResetEnd();

// The Left (or Top) that centres a window of the given outer width (or height) on a
// screen of the given width (or height): each half first, then the difference, stored as
// a single. A screen smaller than the window gives a negative value.
Single Centred(Single screen, Single window);

// Screen size in twips, single precision.
namespace Screen {
Single Width();
Single Height();
}  // namespace Screen

}  // namespace runtime

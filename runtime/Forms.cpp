#include "Forms.h"

#include "Controls.h"
#include "DesignStyle.h"
#include "Fonts.h"
#include "WindowManager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBackingStore>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShortcutEvent>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <vector>

namespace runtime {

namespace {

struct ProgramState {
    std::vector<FormBase*> forms;  // every form instance of the program, loaded or not
    std::vector<FormBase*> shown;  // loaded forms in the order they were last shown
    int handlerDepth = 0;          // handlers running now (nested only through a modal loop)
    bool ended = false;
    bool reporting = false;        // an error report is on screen
    int exitStatus = 0;
    std::function<void(const RuntimeError&)> reporter;
};

ProgramState& State() {
    static ProgramState state;
    return state;
}

void ShowErrorBox(const RuntimeError& error) {
    WaitForEmbeddedFonts();
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), error.report(),
                    QMessageBox::Ok);
    box.exec();
}

void EndProgram(int status) {
    auto& state = State();
    if (state.ended) return;
    state.ended = true;
    state.exitStatus = status;
    for (FormBase* form : state.forms) {
        if (form->IsLoaded()) form->Unload();
    }
    // Outside the event loop (before it has started) there is nothing to stop, and a stray
    // quit would stop the next modal loop at once.
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(status);
}

void EndIfNothingLoaded() {
    if (State().handlerDepth == 0 && LoadedFormCount() == 0) EndProgram(0);
}

void ReportAndEnd(const RuntimeError& error) {
    auto& state = State();
    if (state.ended || state.reporting) return;
    state.reporting = true;  // no handler runs while the report is on screen
    if (state.reporter) {
        state.reporter(error);
    } else {
        ShowErrorBox(error);
    }
    state.reporting = false;
    EndProgram(1);
}

// The program's window in front: the one that has the keyboard, as a desktop raises the
// window it activates; while none of them has it, the one shown last. Only a window on
// screen, not minimised, counts.
const FormWindow* FrontWindow() {
    const auto onScreen = [](const QWidget* window) { return window && window->isVisible() && !window->isMinimized(); };
    if (const auto* active = qobject_cast<const FormWindow*>(QApplication::activeWindow()); onScreen(active)) {
        return active;
    }
    const auto& shown = State().shown;
    for (auto form = shown.rbegin(); form != shown.rend(); ++form) {
        if (const FormWindow* window = (*form)->window(); onScreen(window)) return window;
    }
    return nullptr;
}

// Whether a covered window's drawing can be let go on this display platform: on X11 the
// display server keeps what is on screen, or asks for it again (an expose) once it is
// uncovered; with no screen at all nothing is shown. Elsewhere the buffer may be what
// the screen shows, and it stays.
bool CoveredWindowsLetGoOfTheirBuffers() {
    static const bool letGo = [] {
        const QString platform = QGuiApplication::platformName();
        return platform == QLatin1String("xcb") || platform == QLatin1String("offscreen");
    }();
    return letGo;
}

}  // namespace

int PixelsFromTwips(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel)); }

// ---- FormWindow ----

FormWindow::FormWindow(QWidget* parent) : QWidget(parent) {}

void FormWindow::setBorderStyle(int style) {
    borderStyle_ = style;
    switch (style) {
    case wm::BorderNone:
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        break;
    case wm::BorderFixedDialog:
        setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                       Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        break;
    default:
        setWindowFlags(Qt::Window);
        break;
    }
}

void FormWindow::setPictureFile(const QString& file) {
    pictureFile_ = file;
    picture_ = ReadPicture(ScreenPicture(file));
    MarkCoveredByPicture();
    update();
}

bool FormWindow::CoveredByPicture() const {
    const QSizeF covered = picture_.deviceIndependentSize();
    return !picture_.isNull() && !picture_.hasAlphaChannel() && covered.width() >= width() &&
           covered.height() >= height();
}

void FormWindow::MarkCoveredByPicture() {
    // A picture that covers the whole window is all it shows: the toolkit need not fill
    // the window with its background colour first, only for the picture to cover it.
    setAttribute(Qt::WA_OpaquePaintEvent, CoveredByPicture());
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    MarkCoveredByPicture();
}

Single FormWindow::Left() const { return static_cast<Single>(FramePosition().x() * TwipsPerPixel); }
Single FormWindow::Top() const { return static_cast<Single>(FramePosition().y() * TwipsPerPixel); }
Single FormWindow::Width() const {
    const QMargins frame = Frame();
    return static_cast<Single>((width() + frame.left() + frame.right()) * TwipsPerPixel);
}
Single FormWindow::Height() const {
    const QMargins frame = Frame();
    return static_cast<Single>((height() + frame.top() + frame.bottom()) * TwipsPerPixel);
}

QMargins FormWindow::Frame() const {
    // Once shown, Qt knows the frame the window manager drew. Before that the window
    // manager is asked what it will draw; a borderless window has no frame to ask about.
    if (isVisible()) {
        const QRect outer = frameGeometry();
        const QRect inner = geometry();
        return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                outer.bottom() - inner.bottom()};
    }
    if (borderStyle_ == wm::BorderNone) return {};
    if (!frameKnown_) {
        PrepareNativeWindow();
        frame_ = wm::RequestFrameExtents(this);
        frameKnown_ = true;
    }
    return frame_;
}

void FormWindow::PrepareNativeWindow() const {
    if (nativePrepared_) return;
    nativePrepared_ = true;
    winId();
    wm::AnnounceBorderStyle(this, borderStyle_);
}

void FormWindow::SetLeft(Single twips) { MoveFrameTo({PixelsFromTwips(twips), FramePosition().y()}); }
void FormWindow::SetTop(Single twips) { MoveFrameTo({FramePosition().x(), PixelsFromTwips(twips)}); }

// Qt places a window by its frame until the native window exists, and by its client area
// from then until it is first shown, when it does not know the frame yet; the frame asked
// of the window manager bridges that time.
QPoint FormWindow::ClientOffset() const {
    if (isVisible() || !testAttribute(Qt::WA_WState_Created)) return {};
    const QMargins frame = Frame();
    return {frame.left(), frame.top()};
}

QPoint FormWindow::FramePosition() const { return frameGeometry().topLeft() - ClientOffset(); }

void FormWindow::MoveFrameTo(QPoint position) { move(position + ClientOffset()); }

bool FormWindow::IsCovered() const {
    const FormWindow* front = FrontWindow();
    return front && front != this && isVisible() && front->frameGeometry().contains(frameGeometry());
}

void FormWindow::LetGoOfBufferIfCovered() {
    // A window that shows a picture over the whole of it keeps its buffer all the same: the
    // menu is uncovered each time a level is left, and drawing its picture anew then would
    // cost more time than its buffer costs memory.
    if (CoveredByPicture() || !CoveredWindowsLetGoOfTheirBuffers() || !IsCovered()) return;
    // The buffer shrinks to a single pixel (the toolkit's X11 buffers take no empty size);
    // the toolkit draws the whole window anew into a buffer of its full size the next time
    // anything of it is to be drawn.
    const QSize letGo(1, 1);
    if (QBackingStore* store = backingStore(); store && store->size() != letGo) store->resize(letGo);
}

bool FormWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::UpdateRequest) {
        // A covered window that has just drawn, whatever made it draw, lets go again.
        LetGoOfBufferIfCovered();
    } else if (event->type() == QEvent::WindowActivate) {
        // In front now: the windows it lies over let go of theirs.
        for (const FormBase* form : State().shown) {
            if (FormWindow* other = form->window(); other && other != this) other->LetGoOfBufferIfCovered();
        }
    }
    return handled;
}

void FormWindow::FinishDesign() {
    ApplyDesignStyles(this);
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->installEventFilter(this);
        auto press = [button] { button->click(); };  // click() does nothing on a disabled button
        if (button->property("cancel").toBool()) {
            connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, button, press);
        }
        if (button->isDefault()) {
            connect(new QShortcut(QKeySequence(Qt::Key_Return), this), &QShortcut::activated, button, press);
            connect(new QShortcut(QKeySequence(Qt::Key_Enter), this), &QShortcut::activated, button, press);
        }
    }
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    // A button's access key presses it at once, and the press has run to its end before
    // the next key is read. (Qt draws the button down for a tenth of a second and presses
    // it then: a key typed in that time would meet the buttons as they were before, and a
    // button locked in that time would still be pressed.) An access key that several
    // buttons share only moves the focus, as Qt has it.
    if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
        if (auto* button = qobject_cast<QAbstractButton*>(watched)) {
            button->click();  // nothing on a disabled button
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FormWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!picture_.isNull()) {
        QPainter painter(this);
        painter.drawImage(0, 0, picture_);
    }
}

namespace {

// Whether Tab can give a control of the window the focus now.
bool TakesFocus(const QWidget* control, const QWidget* window) {
    return control->isEnabled() && control->isVisibleTo(window) && (control->focusPolicy() & Qt::TabFocus);
}

}  // namespace

bool FormWindow::focusNextPrevChild(bool next) {
    QWidget* focused = focusWidget();
    if (focused && !focused->isEnabled()) {
        // A press has locked the control the player is on. The focus leaves it now (Qt
        // takes it away when this returns false) and comes to rest once the press has been
        // handled to its end, events and all: a screen reader, still on the locked control,
        // hears first what the press did and only then where the focus went.
        if (!focusLocked_) QMetaObject::invokeMethod(this, &FormWindow::RestFocusAfterLock, Qt::QueuedConnection);
        focusLocked_ = focused;
        return false;
    }
    return QWidget::focusNextPrevChild(next);
}

QWidget* FormWindow::FocusedControl() const { return focusWidget() ? focusWidget() : focusLocked_.data(); }

void FormWindow::PressBegins() {
    lockedAtPress_.clear();
    for (const QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (!w->isEnabled()) lockedAtPress_.push_back(w);
    }
}

void FormWindow::RestFocusAfterLock() {
    focusLocked_ = nullptr;
    if (focusWidget() || !IsLoaded()) return;  // the player has moved it already, or left
    // The player goes on with what the press unlocked: after an answer the Next button,
    // after Next the first answer button. Where it unlocked nothing, the window's first
    // control in Tab order: never the one after the locked control, which could be Exit.
    QWidget* firstInTabOrder = nullptr;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (!TakesFocus(w, this)) continue;
        if (std::find(lockedAtPress_.begin(), lockedAtPress_.end(), w) != lockedAtPress_.end()) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (!firstInTabOrder) firstInTabOrder = w;
    }
    if (firstInTabOrder) firstInTabOrder->setFocus(Qt::OtherFocusReason);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The program never closes its windows itself (it unloads them), so a close is the
    // window manager's or the user's through it.
    event->ignore();
    if (IsLoaded()) form_->ClosedByWindowManager();
}

void FormWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A fixed dialog has no minimise. Where a window manager minimises it all the same, it
    // comes straight back, in front and with the keyboard, once the change has settled.
    if (event->type() == QEvent::WindowStateChange && borderStyle_ == wm::BorderFixedDialog && isMinimized()) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!isMinimized()) return;
                showNormal();
                raise();
                activateWindow();
            },
            Qt::QueuedConnection);
    }
}

// ---- FormBase ----

FormBase::FormBase() { State().forms.push_back(this); }

FormWindow* FormBase::Checked() const {
    if (window_.isNull()) Raise(ErrorCode::ObjectCallFailed);
    return window_.data();
}

void FormBase::Load() {
    if (IsLoaded()) return;
    FormWindow* window = Create();
    window->form_ = this;
    window_ = window;
    window->Form_Load();
}

void FormBase::Show() {
    FormWindow* window = Checked();
    auto& shown = State().shown;
    std::erase(shown, this);
    shown.push_back(this);
    window->PrepareNativeWindow();
    window->show();
    // Its first frame is drawn from the event loop, with the program's fonts: the first
    // window shown has been built while they were being registered.
    WaitForEmbeddedFonts();
    window->raise();
    window->activateWindow();
}

void FormBase::Unload() {
    if (!IsLoaded()) return;
    FormWindow* window = window_.data();
    window_ = nullptr;
    window->form_ = nullptr;
    const bool wasActive = window->isActiveWindow();
    window->hide();
    window->deleteLater();
    auto& shown = State().shown;
    std::erase(shown, this);
    // The window shown before it takes its place in front, as the window manager of a
    // desktop does; without one nothing else would give the player a window to type in.
    if (wasActive && !shown.empty() && !State().ended) {
        FormWindow* next = shown.back()->window();
        next->raise();
        next->activateWindow();
    }
}

void FormBase::ClosedByWindowManager() {
    if (State().ended || State().reporting) return;
    Unload();
    EndIfNothingLoaded();
}

int LoadedFormCount() {
    int count = 0;
    for (const FormBase* form : State().forms) count += form->IsLoaded() ? 1 : 0;
    return count;
}

void Run(const std::function<void()>& handler) {
    auto& state = State();
    if (state.ended || state.reporting) return;
    ++state.handlerDepth;
    try {
        handler();
    } catch (const RuntimeError& error) {
        --state.handlerDepth;
        ReportAndEnd(error);
        return;
    }
    --state.handlerDepth;
    EndIfNothingLoaded();
}

void OnClickImpl(QAbstractButton* button, FormWindow* window, std::function<void()> handler) {
    QObject::connect(button, &QAbstractButton::clicked, window, [window, handler = std::move(handler)] {
        if (!window->IsLoaded()) return;
        window->PressBegins();
        Run(handler);
    });
}

int RunProgram(FormBase& startup) {
    Run([&startup] {
        startup.Load();
        startup.Show();
    });
    if (!HasEnded()) QApplication::exec();
    // Windows unloaded by the last handlers are deleted before the program returns.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ExitStatus();
}

bool HasEnded() { return State().ended; }
int ExitStatus() { return State().exitStatus; }

void SetErrorReporter(std::function<void(const RuntimeError&)> reporter) { State().reporter = std::move(reporter); }

void ResetEnd() {
    State().ended = false;
    State().exitStatus = 0;
}

Single Centred(Single screen, Single window) {
    const double screenHalf = screen / 2.0;
    const double windowHalf = window / 2.0;
    return ToSingle(screenHalf - windowHalf);
}

namespace Screen {
Single Width() { return static_cast<Single>(QGuiApplication::primaryScreen()->geometry().width() * TwipsPerPixel); }
Single Height() { return static_cast<Single>(QGuiApplication::primaryScreen()->geometry().height() * TwipsPerPixel); }
}  // namespace Screen

}  // namespace runtime

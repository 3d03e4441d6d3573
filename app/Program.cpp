#include "app/Program.h"

#include "app/MainMenu.h"
#include "app/Project.h"
#include "runtime/Accessibility.h"
#include "runtime/Controls.h"
#include "runtime/Fonts.h"
#include "runtime/Look.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

static void InitResources() {
    Q_INIT_RESOURCE(tarvonix);
    Q_INIT_RESOURCE(menu);
}

namespace {

// The design names fonts of another system; each is drawn with an embedded face of the
// same metrics class, so every machine lays out the same text in the same space.
void MapDesignFonts() {
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Bookman Old Style"), QStringLiteral("TeX Gyre Bonum"));
    runtime::UseEmbeddedFonts(QStringLiteral(":/fonts"));
}

// The program's one icon, which every window shows: the design's 32 by 32 picture, or on
// a scaled screen its 2x rendering, which keeps the same size and stays sharp.
QIcon ProgramIcon() { return QIcon(runtime::DesignPicture(":/pictures/tarvonix.bmp")); }

}  // namespace

// The windows place themselves: each centres itself when it is loaded, and a level window
// lies exactly over the menu. Wayland gives a program no say in where its windows go, so
// in a Wayland session the program runs on X11 through XWayland, whose display is always
// on this machine (":N"), and its windows keep their places as on an X11 desktop. Qt tries
// the platforms in order: with no X server to reach it falls back to Wayland and the
// program still starts. A player who names a platform in QT_QPA_PLATFORM keeps it, and
// outside a Wayland session nothing changes.
QByteArray DisplayPlatform() {
    const bool chosenByPlayer = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    const bool waylandSession =
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    const bool localXServerNamed = qgetenv("DISPLAY").startsWith(':');
    if (chosenByPlayer || !waylandSession || !localXServerNamed) return {};
    return QByteArrayLiteral("xcb;wayland");
}

void PrepareApplication() {
    InitResources();
    QApplication::setApplicationName(QString::fromLatin1(App.Title));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3.0").arg(App.Major).arg(App.Minor).arg(App.Revision));
    // The desktop entry it is installed with, so that a desktop matches its windows to it.
    QGuiApplication::setDesktopFileName(QStringLiteral(TARVONIX_APP_ID));
    // Windows come and go only by loading and unloading forms; the runtime ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    runtime::UseFixedLook();
    MapDesignFonts();
    QFont standard(QStringLiteral("MS Sans Serif"));
    standard.setPointSizeF(8.25);
    // Whole-pixel glyph advances, as the design's texts were measured with: captions
    // such as "Question Number" just fit their labels.
    standard.setHintingPreference(QFont::PreferFullHinting);
    QApplication::setFont(standard);
    QApplication::setWindowIcon(ProgramIcon());
    runtime::InstallAccessibility();
}

int RunTarvonix() {
    // The program takes no command line: the toolkit sees only the program's name and
    // the display platform chosen for the session.
    static char name[] = "tarvonix";
    static char platformOption[] = "-platform";
    static QByteArray platform = DisplayPlatform();
    static char* arguments[] = {name, platformOption, platform.data(), nullptr};
    int count = platform.isEmpty() ? 1 : 3;
    const runtime::SessionBusOpening sessionBus;
    QApplication application(count, arguments);
    PrepareApplication();
    return runtime::RunProgram(frmTarvonix);
}

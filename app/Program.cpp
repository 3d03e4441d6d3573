#include "app/Program.h"

#include "app/MainMenu.h"
#include "app/Project.h"
#include "runtime/Accessibility.h"

#include <QApplication>
#include <QDirIterator>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>

static void InitResources() { Q_INIT_RESOURCE(tarvonix); }

namespace {

// The design names fonts of another system; each is drawn with an embedded face of the
// same metrics class, so every machine lays out the same text in the same space.
void MapDesignFonts() {
    QDirIterator fonts(QStringLiteral(":/fonts"));
    while (fonts.hasNext()) QFontDatabase::addApplicationFont(fonts.next());
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Bookman Old Style"), QStringLiteral("TeX Gyre Bonum"));
}

}  // namespace

void PrepareApplication() {
    InitResources();
    QApplication::setApplicationName(QString::fromLatin1(App.Title));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3.0").arg(App.Major).arg(App.Minor).arg(App.Revision));
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvonix"));
    // Windows come and go only by loading and unloading forms; the runtime ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    MapDesignFonts();
    QFont standard(QStringLiteral("MS Sans Serif"));
    standard.setPointSizeF(8.25);
    // Whole-pixel glyph advances, as the design's texts were measured with: captions
    // such as "Question Number" just fit their labels.
    standard.setHintingPreference(QFont::PreferFullHinting);
    QApplication::setFont(standard);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/tarvonix.png")));
    runtime::InstallAccessibility();
}

int RunTarvonix() {
    // The program takes no command line: the toolkit sees only the program's name.
    static char name[] = "tarvonix";
    static char* arguments[] = {name, nullptr};
    int count = 1;
    QApplication application(count, arguments);
    PrepareApplication();
    return runtime::RunProgram(frmTarvonix);
}
